#pragma once
// The groups of service sharers, each registered by one function that
// SHRSharer::registerBuiltInSharers() calls.

// Delicious and Twitter (services/OAuthSharers.cpp).
void registerOAuthSharers();
// Instapaper, Pinboard, Read It Later, Google Reader, Tumblr and the note
// service (services/LoginFormSharers.cpp).
void registerLoginFormSharers();
// Facebook (services/FacebookSharers.cpp).
void registerFacebookSharers();
