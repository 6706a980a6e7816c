#pragma once
// The sharers of this build, registered by class name at start-up. The
// sharing core knows no service: the program (and each test that shares)
// calls registerBuiltInSharers() before it looks a sharer up by name.

// Every sharer listed in "SHRSharers.plist": the device actions below and
// the three groups of service sharers.
void registerBuiltInSharers();

// The device actions: copy, mail, browser, photo album and text message
// (services/BuiltInSharers.cpp).
void registerDeviceSharers();
// Delicious and Twitter (services/OAuthSharers.cpp).
void registerOAuthSharers();
// Instapaper, Pinboard, Read It Later, Google Reader, Tumblr and the note
// service (services/LoginFormSharers.cpp).
void registerLoginFormSharers();
// Facebook (services/FacebookSharers.cpp).
void registerFacebookSharers();
