#include "host/AnimatedPng.h"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

namespace host {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t length, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            entries[n] = c;
        }
        return entries;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i) {
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

std::uint32_t readBigEndian(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes = 4) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void appendChunk(std::vector<std::uint8_t>& out, std::string_view type,
                 const std::vector<std::uint8_t>& data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    appendBigEndian(out, crc32(out.data() + typeStart, out.size() - typeStart));
}

struct ParsedPng {
    std::vector<std::uint8_t> header;                 // the IHDR data
    std::vector<std::vector<std::uint8_t>> imageData; // the IDAT chunks' data, in order
};

std::optional<ParsedPng> parsePng(const std::vector<std::uint8_t>& file) {
    if (file.size() < sizeof kSignature || std::memcmp(file.data(), kSignature, sizeof kSignature) != 0) {
        return std::nullopt;
    }
    ParsedPng png;
    std::size_t offset = sizeof kSignature;
    while (offset + 12 <= file.size()) {
        const std::uint32_t length = readBigEndian(file.data() + offset);
        if (length > file.size() - offset - 12) {
            return std::nullopt;
        }
        const std::string_view type(reinterpret_cast<const char*>(file.data() + offset + 4), 4);
        const auto* data = file.data() + offset + 8;
        if (type == "IHDR") {
            png.header.assign(data, data + length);
        } else if (type == "IDAT") {
            png.imageData.emplace_back(data, data + length);
        } else if (type == "IEND") {
            break;
        }
        offset += 12 + length;
    }
    if (png.header.size() != 13 || png.imageData.empty()) {
        return std::nullopt;
    }
    return png;
}

} // namespace

AnimatedPngWriter::AnimatedPngWriter(std::uint32_t frameCount, int framesPerSecond, Sink sink)
    : _frameCount(frameCount), _framesPerSecond(framesPerSecond), _sink(std::move(sink)) {
    _failed = frameCount == 0 || framesPerSecond <= 0 || framesPerSecond > 0xFFFF;
}

bool AnimatedPngWriter::emit(const std::vector<std::uint8_t>& bytes) {
    _failed = _failed || !_sink(bytes.data(), bytes.size());
    return !_failed;
}

bool AnimatedPngWriter::addFrame(const std::vector<std::uint8_t>& file) {
    const auto png = _failed || _added == _frameCount ? std::nullopt : parsePng(file);
    if (!png || (_added > 0 && png->header != _header)) {
        _failed = true;
        return false;
    }
    std::vector<std::uint8_t> out;
    if (_added == 0) {
        _header = png->header;
        out.assign(std::begin(kSignature), std::end(kSignature));
        appendChunk(out, "IHDR", _header);
        std::vector<std::uint8_t> control;
        appendBigEndian(control, _frameCount);
        appendBigEndian(control, 0); // loop forever
        appendChunk(out, "acTL", control);
    }
    std::vector<std::uint8_t> frameControl;
    appendBigEndian(frameControl, _sequence++);
    frameControl.insert(frameControl.end(), _header.begin(), _header.begin() + 8); // width, height
    appendBigEndian(frameControl, 0);                                              // x offset
    appendBigEndian(frameControl, 0);                                              // y offset
    appendBigEndian(frameControl, 1, 2); // delay: 1 / framesPerSecond s
    appendBigEndian(frameControl, static_cast<std::uint32_t>(_framesPerSecond), 2);
    frameControl.push_back(0); // dispose: none
    frameControl.push_back(0); // blend: source, each frame replaces the last
    appendChunk(out, "fcTL", frameControl);
    for (const auto& data : png->imageData) {
        if (_added == 0) {
            appendChunk(out, "IDAT", data);
        } else {
            std::vector<std::uint8_t> frameData;
            appendBigEndian(frameData, _sequence++);
            frameData.insert(frameData.end(), data.begin(), data.end());
            appendChunk(out, "fdAT", frameData);
        }
    }
    ++_added;
    return emit(out);
}

bool AnimatedPngWriter::finish() {
    if (_failed || _added != _frameCount) {
        return false;
    }
    std::vector<std::uint8_t> out;
    appendChunk(out, "IEND", {});
    return emit(out);
}

std::vector<std::uint8_t> assembleAnimatedPng(const std::vector<std::vector<std::uint8_t>>& frames,
                                              int framesPerSecond) {
    std::vector<std::uint8_t> out;
    AnimatedPngWriter writer(static_cast<std::uint32_t>(frames.size()), framesPerSecond,
                             [&out](const std::uint8_t* bytes, std::size_t length) {
                                 out.insert(out.end(), bytes, bytes + length);
                                 return true;
                             });
    for (const auto& frame : frames) {
        if (!writer.addFrame(frame)) {
            return {};
        }
    }
    return writer.finish() ? out : std::vector<std::uint8_t>();
}

} // namespace host
