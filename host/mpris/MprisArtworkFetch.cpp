#include "mpris/MprisArtworkFetch.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>
#include <mutex>

namespace mpris {

namespace {

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct Transfer {
    std::vector<unsigned char> bytes;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
    const std::function<bool()>* cancelled = nullptr;
    bool wasCancelled = false;
};

std::size_t receiveArtworkBytes(char* data, std::size_t size, std::size_t count, void* closure) {
    auto* transfer = static_cast<Transfer*>(closure);
    const std::size_t length = size * count;
    // The declared size is checked by the library; a body without one only here.
    if (length > transfer->maxBytes - transfer->bytes.size()) {
        transfer->tooLarge = true;
        return 0;
    }
    transfer->bytes.insert(transfer->bytes.end(), data, data + length);
    return length;
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

} // namespace

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
    Transfer transfer;
    transfer.maxBytes = limits.maxBytes;
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
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    // A worker thread: time-outs must not rely on signals.
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "trillbox");
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, receiveArtworkBytes);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, artworkFetchProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(handle);
    if (transfer.wasCancelled) {
        result.cancelled = true;
    } else if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.error = "larger than " + std::to_string(limits.maxBytes) + " bytes";
    } else if (code != CURLE_OK) {
        result.error = message[0] != '\0' ? message : curl_easy_strerror(code);
    } else if (transfer.bytes.empty()) {
        result.error = "the server sent no picture";
    } else {
        result.bytes = std::move(transfer.bytes);
    }
    return result;
}

} // namespace mpris
