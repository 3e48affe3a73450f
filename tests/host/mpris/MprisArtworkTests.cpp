#include <gtest/gtest.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <filesystem>
#include <semaphore>

#include "host/mpris/MprisTestSupport.h"
#include "mpris/MprisArtwork.h"
#include "mpris/MprisArtworkDecoder.h"
#include "mpris/MprisArtworkFetch.h"
#include "mpris/MprisArtworkLoader.h"
#include "support/Process.h"
#include "support/TestPaths.h"

namespace {

// A JPEG of one colour; its header may claim a larger size, the missing data then filled in.
std::string jpegBytes(int width, int height, std::uint32_t rgb, std::pair<int, int> claimed = {}) {
    std::string pixels{char(rgb >> 16), char(rgb >> 8), char(rgb)};
    while (pixels.size() < std::size_t(width) * height * 3) {
        pixels += pixels;
    }
    tjhandle encoder = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(encoder, reinterpret_cast<const unsigned char*>(pixels.data()), width, 0, height, TJPF_RGB,
                &jpeg, &size, TJSAMP_444, 95, 0);
    std::string bytes(reinterpret_cast<const char*>(jpeg), size);
    tjFree(jpeg);
    tjDestroy(encoder);
    if (const auto [claimedWidth, claimedHeight] = claimed; claimedWidth > 0) {
        const char header[] = {char(claimedHeight >> 8), char(claimedHeight), char(claimedWidth >> 8),
                               char(claimedWidth)};
        bytes.replace(bytes.find("\xFF\xC0") + 5, 4, header, 4);
    }
    return bytes;
}

TEST(MprisArtworkTest, ArtUrlsGiveTheirPictureOrNothing) {
    TemporaryDirectory files;
    writePng(files.file("green.png"), 8, 8, 0, 1, 0);
    const auto green = readFile(files.file("green.png"));
    const auto file = [&](const std::string& name, std::string_view contents) {
        return "file://" + files.write(name, contents);
    };
    // Sparse: the green PNG followed by zeros, one byte past the 16 MiB that are read.
    ASSERT_EQ(::truncate(files.write("huge.png", green).c_str(), 16 * 1024 * 1024 + 1), 0);
    // A header claiming 100000 x 100000 pixels.
    const auto bomb = std::string(green).replace(16, 8, "\x00\x01\x86\xA0\x00\x01\x86\xA0", 8);
    files.write("cover art #1.png", green);
    ASSERT_EQ(::mkfifo(files.file("fifo.png").c_str(), 0600), 0);
    const struct {
        std::string url;
        int width = 0;
        int height = 0;
        std::uint32_t colour = 0;
    } cases[] = {
        {"file://" + files.path() + "/cover%20art%20%231.png", 8, 8, 0xFF00FF00},
        {"data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAgAAAAICAIAAABLbSncAAAAEElEQVR42mNg+M+AHQ0tCQDpMD/"
         "BHYHcAQAAAABJRU5ErkJggg==",
         8, 8, 0xFF00FF00},
        {file("blue.jpg", jpegBytes(64, 48, 0x0000FF)), 64, 48, 0xFF0000FF},
        // Large pictures are scaled down, keeping their shape.
        {file("large.jpg", jpegBytes(1500, 750, 0xFF0000)), 1024, 512, 0xFFFF0000},
        {file("limit.jpg", jpegBytes(8, 8, 0, {6000, 6000})), 1024, 1024},
        // Damaged, foreign, too large or out of reach: nothing.
        {file("cut.png", green.substr(0, green.size() / 2))},
        {file("text.png", "not an image")},
        {file("bomb.png", bomb)},
        {file("past.jpg", jpegBytes(8, 8, 0, {6001, 6000}))},
        {"file://" + files.file("huge.png")},
        {"data:image/png;base64,@@@not base64@@@"},
        {"https://example.com/cover.png"},
        {"file://" + files.file("missing.png")},
        {"file://" + files.path()},
        // It must not block the reader either.
        {"file://" + files.file("fifo.png")},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.url.substr(0, 60));
        const auto artwork = mpris::loadArtwork(entry.url);
        EXPECT_EQ(bool(artwork), entry.width > 0);
        if (!artwork || entry.width == 0) {
            continue;
        }
        cairo_surface_t* surface = artwork.get();
        EXPECT_EQ(cairo_image_surface_get_format(surface), CAIRO_FORMAT_ARGB32);
        EXPECT_EQ(cairo_image_surface_get_width(surface), entry.width);
        EXPECT_EQ(cairo_image_surface_get_height(surface), entry.height);
        const auto* middle = cairo_image_surface_get_data(surface) +
                             entry.height / 2 * cairo_image_surface_get_stride(surface);
        const auto pixel = reinterpret_cast<const std::uint32_t*>(middle)[entry.width / 2];
        // JPEG is lossy; a filled-in picture has no colour to check.
        for (const int shift : {24, 16, 8, 0}) {
            EXPECT_TRUE(entry.colour == 0 ||
                        std::abs(int(pixel >> shift & 0xFF) - int(entry.colour >> shift & 0xFF)) <= 3);
        }
    }
}

TEST(MprisArtworkTest, ResponsesAreKeptOrRefusedByTheirHeadersAndSize) {
    // With a cap of 8 bytes, the reason for refusing a body after header lines, or none and the body kept.
    const std::tuple<std::string_view, std::string_view, std::vector<std::string_view>> cases[] = {
        {"", "12345678", {"HTTP/1.1 200 OK\r\n", "CONTENT-TYPE:  image/PNG ; a=b\r\n", "Content-Length: 8"}},
        {"the server sent application/JSON?x, not a picture", "", {"content-type:\tapplication/JSON\x01x"}},
        {"larger than 8 bytes", "", {"Content-Length: 99999999999999999999999"}},
        // Not the picture's: an earlier response's headers, lines without a colon, other names.
        {"", "1234", {"HTTP/1.1 302 Found", "Content-Type: text/html", "Content-Length: 500", "HTTP/2 200"}},
        {"", "1", {"Content-Type", "Content-Type\x01: text/html", "Content-Type: application/octet-stream"}},
    };
    for (const auto& [refusal, body, headers] : cases) {
        mpris::ArtworkResponse response(8);
        std::ranges::for_each(headers, [&](std::string_view line) { response.header(line); });
        response.receive({reinterpret_cast<const unsigned char*>(body.data()), body.size()});
        const auto result = response.finish();
        EXPECT_EQ(result.error, refusal) << body;
        EXPECT_EQ(std::string(result.bytes.begin(), result.bytes.end()), refusal.empty() ? body : "") << body;
    }
}

int widthOf(const UICairoSurface& artwork) {
    return artwork ? cairo_image_surface_get_width(artwork.get()) : 0;
}

TEST(MprisArtworkTest, RemoteArtworkIsFetchedWithinLimitsAndKept) {
    TemporaryDirectory files;
    writePng(files.file("green.png"), 8, 8, 0, 1, 0);
    const auto green = readFile(files.file("green.png"));
    const auto ok = [](const std::string& body) {
        return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    };
    files.write("answers/green.png", ok(green));
    files.write("answers/blue.jpg", ok(jpegBytes(64, 48, 0x0000FF)));
    files.write("answers/moved",
                "HTTP/1.1 302 Found\r\nContent-Type: text/html\r\nLocation: /green.png\r\n\r\n");
    files.write("answers/page", "HTTP/1.1 200 OK\r\nContent-Type: Text/HTML; charset=utf-8\r\n\r\n" + green);
    files.write("answers/to-file",
                "HTTP/1.1 302 Found\r\nLocation: file://" + files.file("green.png") + "\r\n\r\n");
    files.write("answers/silent", "");
    files.write("answers/huge", "HTTP/1.1 200 OK\r\n\r\n" + green + std::string(70'000, 'x'));
    // support/HttpTestServer.py prints its port, then a line per request.
    const auto server = ChildProcess::start(
        {"python3", TRILLBOX_SOURCE_DIR "/tests/support/HttpTestServer.py", files.file("answers")});
    ASSERT_TRUE(waitUntil([&] { return server.out().find('\n') != std::string::npos; }));
    const auto url = "http://127.0.0.1:" + server.out().substr(0, server.out().find('\n')) + "/";
    const auto requests = [&] { return std::ranges::count(server.out(), '\n') - 1; };
    std::vector<std::string> lines;
    const auto makeLoader = [&] {
        return std::make_unique<MprisArtworkLoader>(MprisArtworkLoader::Options{
            files.file("cache"), 1'000'000, {.maxBytes = 65'536, .seconds = 1}, [&](const std::string& line) {
                lines.push_back(line);
            }});
    };
    auto loader = makeLoader();
    // Then: the picture's width, the requests and the lines told so far. Failures are
    // told once per URL; the cache outlives a restart.
    const struct {
        const char* name;
        int width, requests;
        std::size_t lines;
        bool restart = false;
    } steps[] = {
        {"green.png", 8, 1, 0}, {"green.png", 8, 1, 0}, {"blue.jpg", 64, 2, 0},       {"moved", 8, 4, 0},
        {"missing", 0, 5, 1},   {"missing", 0, 6, 1},   {"silent", 0, 7, 2},          {"huge", 0, 8, 3},
        {"to-file", 0, 9, 4},   {"page", 0, 10, 5},     {"green.png", 8, 10, 5, true}};
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        if (step.restart) {
            loader = makeLoader();
        }
        EXPECT_EQ(widthOf(loader->load(url + step.name, {})), step.width);
        EXPECT_EQ(requests(), step.requests);
        EXPECT_EQ(lines.size(), step.lines);
    }
    // Room for two entries of 100 bytes: the one used longest ago goes (each use 10 s after the last).
    MprisArtworkCache small(files.file("small"), 300);
    for (const auto& [key, hit] :
         {std::pair{"a", false}, {"b", false}, {"a", true}, {"c", false}, {"b", false}, {"c", true}}) {
        EXPECT_EQ(small.read(key).has_value(), hit) << key;
        if (!hit) {
            small.write(key, std::vector<unsigned char>(100, 'x'));
        }
        for (const auto& entry : std::filesystem::directory_iterator(files.file("small"))) {
            std::filesystem::last_write_time(entry, entry.last_write_time() - std::chrono::seconds(10));
        }
    }
}

TEST_F(MprisSessionTest, FloodOfTrackChangesDecodesOnlyTheNewestCover) {
    // Each decode ends only when the test lets one end; its picture is as wide as its track number + 1.
    std::atomic<int> begun = 0;
    std::counting_semaphore<> decodeEnds(0);
    auto session = alloc<MprisSession>()->initWithCommands(
        std::make_unique<RecordingCommands>(),
        std::make_unique<MprisArtworkDecoder>([&](const std::string& url, const auto&) {
            ++begun;
            decodeEnds.acquire();
            return surfaceOfSize(std::stoi(url.substr(url.rfind('/') + 1)) + 1, 1);
        }),
        {});
    const std::shared_ptr<void> endAll(nullptr, [&](void*) { decodeEnds.release(5000); });
    // 200 track changes a second for 5 s; a decode takes 0.1 s.
    auto player = makePlayer(":1.1");
    for (int track = 0; track < 1000; ++track) {
        player.metadata.artUrl = "file:///art/" + std::to_string(track);
        player.metadata.title = player.metadata.artUrl;
        session->playerChanged(player);
        advance(0.005);
        if (track % 20 == 19) {
            decodeEnds.release();
        }
    }
    // The decode in progress when the flood ends, then the last track's.
    const int begunInFlood = begun;
    decodeEnds.release(5000);
    EXPECT_TRUE(waitUntil([&] { return widthOf(session->artwork()) == 1000; }));
    EXPECT_LE(begun - begunInFlood, 1);
}

} // namespace
