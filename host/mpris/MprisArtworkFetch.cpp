#include "mpris/MprisArtworkFetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <memory>
#include <mutex>

namespace mpris {

namespace {

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct Transfer {
    explicit Transfer(std::size_t maxBytes) : response(maxBytes) {}
    ArtworkResponse response;
    const std::function<bool()>* cancelled = nullptr;
    bool wasCancelled = false;
};

// Both answer a count other than the one given to end the transfer.
std::size_t receiveArtworkHeader(char* data, std::size_t size, std::size_t count, void* closure) {
    auto* transfer = static_cast<Transfer*>(closure);
    return transfer->response.header({data, size * count}) ? size * count : 0;
}

std::size_t receiveArtworkBytes(char* data, std::size_t size, std::size_t count, void* closure) {
    auto* transfer = static_cast<Transfer*>(closure);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    return transfer->response.receive({bytes, size * count}) ? size * count : 0;
}

int artworkFetchProgress(void* closure, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(closure);
    if (*transfer->cancelled && (*transfer->cancelled)()) {
        transfer->wasCancelled = true;
        return 1;
    }
    return 0;
}

bool hasSchemePrefix(std::string_view url, std::string_view scheme) {
    if (url.size() <= scheme.size() + 3 || url.substr(scheme.size(), 3) != "://") {
        return false;
    }
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(url[i])) != scheme[i]) {
            return false;
        }
    }
    return true;
}

std::string_view trimHeaderSpace(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const auto first = text.find_first_not_of(kSpace);
    return first == std::string_view::npos ? std::string_view{}
                                           : text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

bool matchesLowercase(std::string_view text, std::string_view lowercase) {
    return std::ranges::equal(text, lowercase, [](char mine, char theirs) {
        return std::tolower(static_cast<unsigned char>(mine)) == theirs;
    });
}

// Whether a declared media type, as "type/subtype" without parameters, is plainly
// not a picture. Unusual or garbled values are not: the decoder looks at the bytes.
bool isPlainlyNotPicture(std::string_view type) {
    const auto slash = type.find('/');
    if (slash == std::string_view::npos) {
        return false;
    }
    const auto top = trimHeaderSpace(type.substr(0, slash));
    const auto sub = trimHeaderSpace(type.substr(slash + 1));
    if (matchesLowercase(top, "application")) {
        return !std::ranges::any_of(
            std::initializer_list<std::string_view>{"octet-stream", "binary", "unknown"},
            [&](std::string_view generic) { return matchesLowercase(sub, generic); });
    }
    return std::ranges::any_of(std::initializer_list<std::string_view>{"text", "audio", "video", "multipart",
                                                                       "message", "font", "model"},
                               [&](std::string_view other) { return matchesLowercase(top, other); });
}

// A value from a server, fit for a one-line message.
std::string printableHeaderValue(std::string_view value) {
    std::string shown(value.substr(0, 60));
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
            c = '?';
        }
    }
    return shown;
}

} // namespace

bool ArtworkResponse::header(std::string_view line) {
    if (refused()) {
        return false;
    }
    if (line.starts_with("HTTP/")) {
        const auto code = trimHeaderSpace(line.substr(std::min(line.find(' '), line.size())));
        _status = -1;
        std::from_chars(code.data(), code.data() + std::min<std::size_t>(code.size(), 3), _status);
        return true;
    }
    // Redirects, interim answers and errors are the transport's business.
    const bool successful = _status == 0 || (_status >= 200 && _status < 300);
    const auto colon = line.find(':');
    if (!successful || colon == std::string_view::npos) {
        return true;
    }
    const auto name = trimHeaderSpace(line.substr(0, colon));
    const auto value = trimHeaderSpace(line.substr(colon + 1));
    if (matchesLowercase(name, "content-length")) {
        // A size too large to read is beyond any cap; a garbled one is left to the body's check.
        unsigned long long declared = 0;
        const auto error = std::from_chars(value.data(), value.data() + value.size(), declared).ec;
        if (error == std::errc::result_out_of_range || (error == std::errc{} && declared > _maxBytes)) {
            refuse("larger than " + std::to_string(_maxBytes) + " bytes");
        }
    } else if (matchesLowercase(name, "content-type")) {
        const auto type = trimHeaderSpace(value.substr(0, value.find(';')));
        if (isPlainlyNotPicture(type)) {
            refuse("the server sent " + printableHeaderValue(type) + ", not a picture");
        }
    }
    return !refused();
}

bool ArtworkResponse::receive(std::span<const unsigned char> chunk) {
    if (refused()) {
        return false;
    }
    if (chunk.size() > _maxBytes - _bytes.size()) {
        refuse("larger than " + std::to_string(_maxBytes) + " bytes");
        return false;
    }
    _bytes.insert(_bytes.end(), chunk.begin(), chunk.end());
    return true;
}

ArtworkFetchResult ArtworkResponse::finish() {
    ArtworkFetchResult result;
    if (refused()) {
        result.error = _refusal;
    } else if (_bytes.empty()) {
        result.error = "the server sent no picture";
    } else {
        result.bytes = std::move(_bytes);
    }
    _bytes = {};
    return result;
}

void ArtworkResponse::refuse(std::string reason) {
    _refusal = std::move(reason);
    _bytes = {};
}

bool isRemoteArtworkUrl(std::string_view url) {
    return hasSchemePrefix(url, "http") || hasSchemePrefix(url, "https");
}

ArtworkFetchResult fetchArtwork(const std::string& url, const ArtworkFetchLimits& limits,
                                const std::function<bool()>& cancelled) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    ArtworkFetchResult result;
    if (!isRemoteArtworkUrl(url)) {
        result.error = "not an http or https URL";
        return result;
    }
    const CurlEasy curl(curl_easy_init());
    if (!curl) {
        result.error = "cannot start an HTTP client";
        return result;
    }
    Transfer transfer(limits.maxBytes);
    transfer.cancelled = &cancelled;
    char message[CURL_ERROR_SIZE] = "";
    CURL* const handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, message);
    // Never file://, or anything else, even through a redirect.
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.seconds * 1000));
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    // A worker thread: time-outs must not rely on signals.
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "trillbox");
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, receiveArtworkHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, receiveArtworkBytes);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, artworkFetchProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(handle);
    if (transfer.wasCancelled) {
        result.cancelled = true;
    } else if (transfer.response.refused() || code == CURLE_OK) {
        result = transfer.response.finish();
    } else {
        result.error = message[0] != '\0' ? message : curl_easy_strerror(code);
    }
    return result;
}

} // namespace mpris
