// JSON output: whatever bytes a key and a string hold (split at the first NUL),
// the text parses, UTF-8 comes back unchanged, and a number (the first 8 bytes)
// exactly, or as null where JSON cannot hold it.
#include <cmath>

#include <nlohmann/json.hpp>

#include "fuzz/FuzzTarget.h"
#include "host/Json.h"

TRILLBOX_FUZZ_TARGET {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = std::min(input.find('\0'), size);
    const std::string key = "k" + input.substr(0, split), value = input.substr(std::min(split + 1, size));
    double number = 0;
    std::memcpy(&number, data, std::min(size, sizeof number));
    const auto parsed = nlohmann::json::parse(
        host::JsonWriter().beginObject().key(key).string(value).key("n").number(number).endObject().text(),
        nullptr, false);
    const auto isUtf8 = [](const std::string& text) {
        using Errors = nlohmann::json::error_handler_t;
        const nlohmann::json json(text);
        return json.dump(-1, ' ', false, Errors::ignore) == json.dump(-1, ' ', false, Errors::replace);
    };
    if (!parsed.is_object() || parsed.size() != 2 || parsed["n"].is_number() != std::isfinite(number) ||
        (std::isfinite(number) && parsed["n"].get<double>() != number) ||
        (isUtf8(key) && isUtf8(value) && parsed.value(key, std::string()) != value)) {
        std::abort();
    }
    return 0;
}
