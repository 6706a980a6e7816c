#pragma once
// The application bundle: the folder of resources that ships with the
// program (bin/resources beside the executable in the build tree, or the
// installed share/tolvek), and its localized strings.
#include <map>
#include <optional>
#include <string>

namespace base {

class Bundle {
public:
    static Bundle& mainBundle();
    // Points the main bundle at another folder (tests).
    static void setMainBundlePathForTesting(const std::string& path);

    explicit Bundle(std::string resourcePath);
    const std::string& resourcePath() const { return path_; }
    // The path of name.type in the bundle, or nullopt when missing. type may
    // be empty (name then holds the whole file name).
    std::optional<std::string> pathForResource(const std::string& name, const std::string& type) const;
    // Looks key up in the strings table (table.strings, "Localizable" by
    // default); a missing entry gives value when it is not empty, else key.
    std::string localizedString(const std::string& key, const std::string& value = {},
                                const std::string& table = "Localizable") const;
    // Application name and version, for texts that mention them.
    std::string name() const { return "Tolvek"; }

private:
    std::string path_;
    mutable std::map<std::string, std::map<std::string, std::string>> tables_;
    mutable bool loaded_ = false;
};

}  // namespace base
