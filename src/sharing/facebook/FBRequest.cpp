#include "sharing/facebook/FBRequest.h"

#include "platform/base/Exception.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/net/MultipartFormData.h"
#include "platform/net/PercentEncoding.h"
#include "sharing/json/VXJSON.h"

// --- Parameters ------------------------------------------------------------------

FBParams::FBParams(std::initializer_list<std::pair<std::string, std::string>> texts) {
    for (const auto& [key, value] : texts) set(key, value);
}

void FBParams::set(const std::string& key, FBParamValue value) {
    for (auto& item : items_)
        if (item.first == key) {
            item.second = std::move(value);
            return;
        }
    items_.emplace_back(key, std::move(value));
}

bool FBParams::remove(const std::string& key) {
    for (auto it = items_.begin(); it != items_.end(); ++it)
        if (it->first == key) {
            items_.erase(it);
            return true;
        }
    return false;
}

const FBParamValue* FBParams::find(const std::string& key) const {
    for (const auto& item : items_)
        if (item.first == key) return &item.second;
    return nullptr;
}

std::optional<std::string> FBParams::text(const std::string& key) const {
    const FBParamValue* value = find(key);
    if (!value) return std::nullopt;
    if (const auto* s = std::get_if<std::string>(value)) return *s;
    return std::nullopt;
}

// --- JSON to property list ----------------------------------------------------------

base::Value FBValueFromJson(const VXJsonValue& value) {
    switch (value.type()) {
    case VXJsonValue::Type::Bool: return base::Value(*value.asBool());
    case VXJsonValue::Type::Number: {
        const base::Decimal& n = *value.asNumber();
        const double d = n.toDouble();
        const long long i = n.toInteger();
        if (static_cast<double>(i) == d) return base::Value(i);
        return base::Value(d);
    }
    case VXJsonValue::Type::String: return base::Value(std::string(*value.asString()));
    case VXJsonValue::Type::Array: {
        base::Array out;
        for (const auto& v : *value.asArray()) out.push_back(FBValueFromJson(v));
        return base::Value(std::move(out));
    }
    case VXJsonValue::Type::Object: {
        base::Dictionary out;
        for (const auto& [k, v] : *value.asObject()) out.set(k, FBValueFromJson(v));
        return base::Value(std::move(out));
    }
    default: return base::Value();
    }
}

// --- Making and serializing ---------------------------------------------------------

std::shared_ptr<FBRequest> FBRequest::getRequestWithParams(FBParams params, const std::string& httpMethod,
                                                           std::weak_ptr<FBRequestDelegate> delegate,
                                                           const std::string& url) {
    auto request = std::make_shared<FBRequest>();
    request->delegate_ = std::move(delegate);
    request->url_ = url;
    request->httpMethod_ = httpMethod;
    request->params_ = std::move(params);
    return request;
}

FBRequest::~FBRequest() {
    if (connection_) connection_->cancel();
}

std::string FBRequest::serializeURL(const std::string& baseUrl, const FBParams& params, const std::string& httpMethod) {
    const std::string separator = baseUrl.find('?') != std::string::npos ? "&" : "?";
    std::string pairs;
    for (const auto& [key, value] : params) {
        const auto* text = std::get_if<std::string>(&value);
        if (!text) {
            if (httpMethod == "GET") base::log("can not use GET to upload a file");
            continue;
        }
        if (!pairs.empty()) pairs += "&";
        pairs += base::format("%@=%@", key, net::addingPercentEscapes(*text, "!*'();:@&=+$,/?%#[]"));
    }
    return base::format("%@%@%@", baseUrl, separator, pairs);
}

void FBRequest::utfAppendBody(base::Data& body, const std::string& text) {
    body.insert(body.end(), text.begin(), text.end());
}

base::Data FBRequest::generatePostBody() const {
    // Ends on a separator, with no closing delimiter: the Graph and REST hosts have always taken it so.
    net::MultipartFormData body(FBStringBoundary, net::MultipartFormData::Start::AtDelimiter,
                                net::MultipartFormData::End::Separator);
    std::vector<const FBParams::Item*> dataParams;
    for (const auto& item : params_) {
        const auto* text = std::get_if<std::string>(&item.second);
        if (!text) {
            dataParams.push_back(&item);
            continue;
        }
        body.addField(item.first, *text);
    }
    for (const FBParams::Item* item : dataParams) {
        const std::string disposition = base::format("Content-Disposition: form-data; filename=\"%@\"", item->first);
        if (const auto* image = std::get_if<std::shared_ptr<gfx::Image>>(&item->second)) {
            body.addPart({disposition, "Content-Type: image/png"}, *image ? (*image)->encodePNG() : base::Data());
        } else if (const auto* data = std::get_if<base::Data>(&item->second)) {
            body.addPart({disposition, "Content-Type: content/unknown"}, *data);
        } else {
            base::AssertionHandler::current().handleFailureInMethod("generatePostBody", this, __FILE__, __LINE__,
                                                                    "dataParam must be a UIImage or NSData");
        }
    }
    return body.body();
}

// --- Sending ------------------------------------------------------------------------

void FBRequest::connect() {
    auto keep = shared_from_this();
    if (auto d = delegate()) d->requestLoading(*this);
    const std::string text = serializeURL(url_, params_, httpMethod_);
    auto url = net::URL::URLWithString(text);
    net::URLRequest request(url.value_or(net::URL(text)), net::CachePolicy::ReloadIgnoringLocalCacheData,
                            FBRequestTimeoutInterval);
    request.setValue(std::string(FBUserAgent), "User-Agent");
    request.setHTTPMethod(httpMethod_);
    if (httpMethod_ == "POST") {
        request.setValue(net::MultipartFormData::contentTypeFor(FBStringBoundary), "Content-Type");
        request.setHTTPBody(generatePostBody());
    }
    sentRequest_ = request;
    statusCode_ = 0;
    connection_ = net::URLConnection::connectionWithRequest(request, keep);
    if (!connection_)
        failWithError(net::Error(net::URLErrorDomain, net::URLErrorCode::BadURL, "The URL of the call is not valid."));
}

void FBRequest::didReceiveResponse(net::URLConnection&, const net::URLResponse& response) {
    auto keep = shared_from_this();
    responseText_ = base::Data();
    statusCode_ = response.statusCode();
    if (auto d = delegate()) d->requestDidReceiveResponse(*this, response);
}

void FBRequest::didReceiveData(net::URLConnection&, const base::Data& data) {
    if (!responseText_) responseText_ = base::Data();
    responseText_->insert(responseText_->end(), data.begin(), data.end());
}

void FBRequest::didFinishLoading(net::URLConnection&) {
    auto keep = shared_from_this();
    const base::Data data = responseText_.value_or(base::Data());
    handleResponseData(data);
    responseText_.reset();
    connection_.reset();
}

void FBRequest::didFailWithError(net::URLConnection&, const net::Error& error) {
    auto keep = shared_from_this();
    failWithError(error);
    responseText_.reset();
    connection_.reset();
}

// --- Answers ------------------------------------------------------------------------

net::Error FBRequest::formError(long code, const base::Dictionary& userInfo) {
    std::string text;
    if (const auto* message = userInfo.get("error_msg").asString()) text = *message;
    else if (const auto* message = userInfo.get("error_reason").asString()) text = *message;
    else if (const auto* message = userInfo.get("error")["message"].asString()) text = *message;
    else if (const auto* message = userInfo.get("error").asString()) text = *message;
    if (text.empty()) text = base::format("The operation couldn't be completed. (%@ error %li.)", FBErrorDomain, code);
    return net::Error(FBErrorDomain, code, text, userInfo);
}

void FBRequest::failWithError(const net::Error& error) {
    auto keep = shared_from_this();
    if (auto d = delegate(); d && d->respondsToDidFailWithError()) d->requestDidFailWithError(*this, error);
}

std::optional<VXJsonValue> FBRequest::parseJsonResponse(const base::Data& data,
                                                        std::optional<net::Error>* error) const {
    const std::string text(data.begin(), data.end());
    if (text == "true") return VXJsonValue(VXJsonObject{{"result", VXJsonValue("true")}});
    if (text == "false") {
        if (error)
            *error =
                formError(FBGeneralErrorCode, base::Dictionary{{"error_msg", "This operation can not be completed"}});
        return std::nullopt;
    }
    VXJSON parser;
    auto result = parser.objectWithString(std::string_view(text));
    if (!result) return std::nullopt;
    const VXJsonObject* object = result->asObject();
    if (!object) return result;
    if (object->contains("error")) {
        if (error) *error = formError(FBGeneralErrorCode, *FBValueFromJson(*result).asDictionary());
        return std::nullopt;
    }
    if (const VXJsonValue* code = object->find("error_code")) {
        if (error) {
            long number = 0;
            if (const auto* n = code->asNumber()) number = static_cast<long>(n->toInteger());
            else if (const auto s = code->asString())
                number = static_cast<long>(base::Value(std::string(*s)).integerValue());
            *error = formError(number, *FBValueFromJson(*result).asDictionary());
        }
        return std::nullopt;
    }
    if (object->contains("error_msg") || object->contains("error_reason")) {
        if (error) *error = formError(FBGeneralErrorCode, *FBValueFromJson(*result).asDictionary());
    }
    return result;
}

void FBRequest::handleResponseData(const base::Data& data) {
    auto keep = shared_from_this();
    auto d = delegate();
    if (!d) return;
    if (d->respondsToDidLoadRawResponse()) d->requestDidLoadRawResponse(*this, data);
    if (!d->respondsToDidLoad() && !d->respondsToDidFailWithError()) return;
    std::optional<net::Error> error;
    auto result = parseJsonResponse(data, &error);
    // An answer the service marks as failed (an error page of status 400 or
    // more) is a failure even when its body says nothing of one.
    if (!error && statusCode_ >= 400) {
        error = formError(
            FBGeneralErrorCode,
            base::Dictionary{{"error_msg", base::format("The service answered with status %li.", statusCode_)},
                             {"status", statusCode_}});
    }
    if (error) {
        failWithError(*error);
        return;
    }
    if (!d->respondsToDidLoad()) return;
    if (result) d->requestDidLoad(*this, FBResult(*result));
    else d->requestDidLoad(*this, FBResult(data));
}
