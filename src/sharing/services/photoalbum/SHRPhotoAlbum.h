#pragma once
// Saves the item's image to the pictures folder.
#include "sharing/core/SHRSharer.h"

class SHRPhotoAlbum : public SHRSharer {
public:
    std::string sharerId() const override { return "SHRPhotoAlbum"; }
    std::string sharerTitle() const override;
    bool canShareImage() const override { return true; }
    bool shareRequiresInternetConnection() const override { return false; }
    bool requiresAuthentication() const override { return false; }
    bool shouldAutoShare() override { return true; }
    bool send() override;
};
