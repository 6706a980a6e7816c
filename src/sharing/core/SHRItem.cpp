#include "sharing/core/SHRItem.h"

#include "platform/base/Format.h"

std::shared_ptr<SHRItem> SHRItem::URL(const net::URL& url, std::optional<std::string> title) {
    auto item = std::make_shared<SHRItem>();
    item->shareType_ = SHRShareTypeURL;
    item->url_ = url;
    item->title_ = std::move(title);
    return item;
}

std::shared_ptr<SHRItem> SHRItem::text(const std::string& text) {
    auto item = std::make_shared<SHRItem>();
    item->shareType_ = SHRShareTypeText;
    item->text_ = text;
    return item;
}

std::shared_ptr<SHRItem> SHRItem::image(std::shared_ptr<gfx::Image> image, std::optional<std::string> title) {
    auto item = std::make_shared<SHRItem>();
    item->shareType_ = SHRShareTypeImage;
    item->image_ = std::move(image);
    item->title_ = std::move(title);
    return item;
}

std::shared_ptr<SHRItem> SHRItem::file(base::Data data, std::string filename, std::string mimeType,
                                       std::optional<std::string> title) {
    auto item = std::make_shared<SHRItem>();
    item->shareType_ = SHRShareTypeFile;
    item->data_ = std::move(data);
    item->filename_ = std::move(filename);
    item->mimeType_ = std::move(mimeType);
    item->title_ = std::move(title);
    return item;
}

void SHRItem::setCustomValue(const base::Value& value, const std::string& key) {
    if (!custom_) custom_.emplace();
    if (value.isNull()) custom_->remove(key);
    else custom_->set(key, value);
}

base::Value SHRItem::customValueForKey(const std::string& key) const {
    if (!custom_) return {};
    return custom_->get(key);
}

bool SHRItem::customBoolForSwitchKey(const std::string& key) const {
    const base::Value value = customValueForKey(key);
    const std::string* text = value.asString();
    return text && *text == "1";
}

base::Dictionary SHRItem::dictionaryRepresentation() const {
    base::Dictionary out;
    out.set("shareType", shareType_);
    if (custom_) out.set("custom", *custom_);
    if (url_ && url_->isValid()) out.set("URL", url_->absoluteString());
    if (title_) out.set("title", *title_);
    if (text_) out.set("text", *text_);
    if (tags_) out.set("tags", *tags_);
    if (image_) {
        base::Data png = image_->encodePNG();
        if (!png.empty()) out.set("image", std::move(png));
    }
    return out;
}

std::shared_ptr<SHRItem> SHRItem::itemFromDictionary(const base::Dictionary& dictionary) {
    auto item = std::make_shared<SHRItem>();
    item->shareType_ = static_cast<int>(dictionary.get("shareType").integerValue());
    if (const std::string* url = dictionary.get("URL").asString()) {
        if (auto parsed = net::URL::URLWithString(*url)) item->url_ = *parsed;
    }
    if (const std::string* s = dictionary.get("title").asString()) item->title_ = *s;
    if (const std::string* s = dictionary.get("text").asString()) item->text_ = *s;
    if (const std::string* s = dictionary.get("tags").asString()) item->tags_ = *s;
    if (const base::Data* png = dictionary.get("image").asData()) item->image_ = gfx::Image::decode(*png);
    if (const base::Dictionary* custom = dictionary.get("custom").asDictionary()) item->custom_ = *custom;
    return item;
}

std::string SHRItem::description() const {
    return base::format("<SHRItem type %i title \"%@\" text \"%@\" URL %@>", shareType_, title_.value_or(""),
                        text_.value_or(""), url_ ? url_->absoluteString() : std::string("none"));
}
