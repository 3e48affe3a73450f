#include <malloc.h>
#include <random>

#include "host/DemoPlayer.h"
#include "host/HostSession.h"
#include "render/Renderer.h"
#include "support/TestPaths.h"
#include "support/TestSupport.h"

namespace {

// A day on the manual clock (TRILLBOX_SOAK_MINUTES; an hour by default): odd titles, lost artwork.
TEST(SoakTest, ADayOfUseLeavesNothingBehindHourAfterHour) {
    const int minutes = std::max(2, std::atoi(std::getenv("TRILLBOX_SOAK_MINUTES") ?: "60"));
    const int period = std::clamp(minutes / 6, 1, 60), width = 320, height = 105;
    std::mt19937 random(20261207);
    TemporaryDirectory files, deviceRoot;
    // clang-format off
    const std::string titles[] = {"Track", "A", " ", "שיר مرحبا 夜の歌 🎵👩‍👩‍👧", "Tab\tnew\nline\u202Eevil\u200B e\u0301\u0301",
                                  "&amp;&lt;b&gt; Long title that scrolls on and on and on and on and on"};
    // clang-format on
    std::string list = R"(<plist version="1.0"><array>)";
    for (int index = 0; index < 1000; ++index) {
        list += "<dict><key>title</key><string>" + titles[index % 6] + std::to_string(index + 1000) +
                "</string><key>artist</key><string>" + titles[index / 5 % 6] +
                "</string><key>duration</key><integer>" +
                std::to_string(index % 60 ? 1 + random() % 170 : 170) +
                "</integer><key>artwork</key><string>" + std::to_string(index % 4) + ".png</string></dict>";
    }
    for (const char* name : {"0.png", "1.png", "2.png", "3.png"}) {
        files.write(name, readFile(TRILLBOX_DEMO_DIR "/demo-artwork-1.png"));
    }
    NSRunLoop::mainRunLoop()->setClock(std::make_shared<ManualClock>());
    host::HostSession session(
        {TRILLBOX_BUNDLE_DIR, deviceRoot.path(), files.write("soak.plist", list + "</array></plist>")});
    const Ptr<host::DemoPlayer> player = session.mediaBackEnd().demoPlayer();
    std::filesystem::remove(files.file("1.png")), files.write("2.png", "\xff\xd8\xff\xe0 not a picture");
    render::Renderer renderer;
    const UICairoSurface target(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * 2, height * 2));
    const UICairoContextPtr context(cairo_create(target.get()));
    const auto anywhere = [&] { return CGPointMake(random() % width, random() % height); };
    std::vector<std::array<long, 6>> samples; // minute, RSS (KB), objects, tasks, observers, stores
    for (double nextPresentation = 0; samples.size() < std::size_t(minutes / period);) {
        while (session.time() < (samples.size() + 1) * period * 60.0 - 60) {
            if (session.time() >= nextPresentation) {
                session.isPresented() ? session.dismiss() : session.present();
                nextPresentation = session.time() + 60 + random() % 240;
            }
            // clang-format off
            switch (random() % 7) {
            case 0: session.tap(anywhere()); break;
            case 1: session.doubleTap(anywhere()); break;
            case 2: session.longPress(random() % 2 ? CGPointMake(52, 52) : anywhere(), 0.6); break;
            case 3: session.drag(anywhere(), anywhere(), 0.3); break;
            case 4: session.rotate(); break;
            default: session.enterBackground(), session.wait(random() % 20), session.enterForeground();
            }
            // clang-format on
            session.wait(1 + random() % 30);
            session.isPresented() ? void(renderer.drawFrame(context.get(), *session.widgetView(), 2))
                                  : void();
        }
        // The same state at each check: presented, the time row, every 60th track 5 s in.
        session.dismiss();
        const std::int32_t index = player->currentTrackIndex();
        player->skip((index / 60 + 1) * 60 % 1020 - index), player->seek(0), player->play();
        session.present(), session.wait(5);
        renderer.drawFrame(context.get(), *session.widgetView(), 2);
        malloc_trim(0);
        long pages = 0, resident = 0;
        std::ifstream("/proc/self/statm") >> pages >> resident;
        const auto& sample = samples.emplace_back(std::array<long, 6>{
            long(session.time() / 60), resident * sysconf(_SC_PAGESIZE) / 1024,
            long(NSObject::liveInstanceCount()), long(NSRunLoop::mainRunLoop()->pendingTaskCount()),
            long(NSNotificationCenter::defaultCenter()->registrationCount()), long(renderer.storeCount())});
        std::printf("minute %ld: RSS %ld KB, %ld objects, %ld tasks, %ld observers, %ld stores\n", sample[0],
                    sample[1], sample[2], sample[3], sample[4], sample[5]);
        // From the second check on the counts stay; an hour later memory grows <= 64 KB an hour.
        EXPECT_TRUE(samples.size() < 3 || std::equal(&sample[2], &sample[6], &samples[1][2])) << sample[0];
        EXPECT_LE(sample[0] - samples[1 % samples.size()][0] < 60 ? 0 : sample[1] - samples[1][1],
                  64 * (sample[0] - samples[1 % samples.size()][0] + 59) / 60);
    }
}

} // namespace
