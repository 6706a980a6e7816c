#pragma once
// The thing to share: a link, a text, an image or a file, with a title,
// tags and free custom values that a sharer's form adds.
#include <memory>
#include <optional>
#include <string>

#include "platform/base/Value.h"
#include "platform/gfx/Image.h"
#include "platform/net/URL.h"

enum SHRShareType {
    SHRShareTypeUndefined = 0,
    SHRShareTypeURL = 1,
    SHRShareTypeText = 2,
    SHRShareTypeImage = 3,
    SHRShareTypeFile = 4
};

class SHRItem {
public:
    // Sharers may take an item of their own kind (a prepared note) and ask
    // for it by type.
    SHRItem() = default;
    SHRItem(const SHRItem&) = default;
    SHRItem& operator=(const SHRItem&) = default;
    virtual ~SHRItem() = default;

    static std::shared_ptr<SHRItem> URL(const net::URL& url, std::optional<std::string> title = std::nullopt);
    static std::shared_ptr<SHRItem> text(const std::string& text);
    static std::shared_ptr<SHRItem> image(std::shared_ptr<gfx::Image> image,
                                          std::optional<std::string> title = std::nullopt);
    static std::shared_ptr<SHRItem> file(base::Data data, std::string filename, std::string mimeType,
                                         std::optional<std::string> title);

    int shareType() const { return shareType_; }
    void setShareType(int type) { shareType_ = type; }
    const std::optional<net::URL>& URL() const { return url_; }
    void setURL(std::optional<net::URL> url) { url_ = std::move(url); }
    const std::shared_ptr<gfx::Image>& image() const { return image_; }
    void setImage(std::shared_ptr<gfx::Image> image) { image_ = std::move(image); }
    const std::optional<std::string>& title() const { return title_; }
    void setTitle(std::optional<std::string> title) { title_ = std::move(title); }
    const std::optional<std::string>& text() const { return text_; }
    void setText(std::optional<std::string> text) { text_ = std::move(text); }
    const std::optional<std::string>& tags() const { return tags_; }
    void setTags(std::optional<std::string> tags) { tags_ = std::move(tags); }
    const std::optional<base::Data>& data() const { return data_; }
    void setData(std::optional<base::Data> data) { data_ = std::move(data); }
    const std::optional<std::string>& mimeType() const { return mimeType_; }
    void setMimeType(std::optional<std::string> type) { mimeType_ = std::move(type); }
    const std::optional<std::string>& filename() const { return filename_; }
    void setFilename(std::optional<std::string> name) { filename_ = std::move(name); }

    // The custom values (none until the first one is set).
    const std::optional<base::Dictionary>& custom() const { return custom_; }
    // A null value removes the key.
    void setCustomValue(const base::Value& value, const std::string& key);
    base::Value customValueForKey(const std::string& key) const;
    // True when the custom value is the text "1" (a switch that is on).
    bool customBoolForSwitchKey(const std::string& key) const;

    // The property-list form (without file data, MIME type and file name).
    // The URL is kept as the text it was, escapes and all.
    base::Dictionary dictionaryRepresentation() const;
    static std::shared_ptr<SHRItem> itemFromDictionary(const base::Dictionary& dictionary);

    std::string description() const;

private:
    int shareType_ = SHRShareTypeUndefined;
    std::optional<net::URL> url_;
    std::shared_ptr<gfx::Image> image_;
    std::optional<std::string> title_, text_, tags_;
    std::optional<base::Data> data_;
    std::optional<std::string> mimeType_, filename_;
    std::optional<base::Dictionary> custom_;
};
