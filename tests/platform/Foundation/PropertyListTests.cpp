#include <gtest/gtest.h>

#include <sys/stat.h>

#include <tuple>

#include "Foundation/NSCollections.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "support/Process.h"
#include "support/TestSupport.h"

namespace {

const char kXml[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
	<key>startView</key><string>volume</string><key>shareArtwork</key><false/>
	<key>showSeperators</key><true/><key>roundedCornersValue</key><real>12.5</real>
	<key>negative</key><integer>-5</integer><key>count</key><integer>42</integer>
	<key>big</key><integer>-9223372036854775808</integer><key>data</key><data>AAH+</data>
	<key>nested</key><dict><key>list</key><array><integer>1</integer><string>two</string><real>3</real></array></dict>
	<key>when</key><date>2001-01-02T00:00:00Z</date>
</dict></plist>
)";

// The same dictionary as a binary property list, as another writer produced it.
const unsigned char kBinary[] =
    "\x62\x70\x6c\x69\x73\x74\x30\x30\xda\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f"
    "\x10\x11\x12\x13\x19\x59\x73\x74\x61\x72\x74\x56\x69\x65\x77\x5c\x73\x68\x61\x72\x65\x41\x72\x74"
    "\x77\x6f\x72\x6b\x5e\x73\x68\x6f\x77\x53\x65\x70\x65\x72\x61\x74\x6f\x72\x73\x5f\x10\x13\x72\x6f"
    "\x75\x6e\x64\x65\x64\x43\x6f\x72\x6e\x65\x72\x73\x56\x61\x6c\x75\x65\x58\x6e\x65\x67\x61\x74\x69"
    "\x76\x65\x55\x63\x6f\x75\x6e\x74\x53\x62\x69\x67\x54\x64\x61\x74\x61\x56\x6e\x65\x73\x74\x65\x64"
    "\x54\x77\x68\x65\x6e\x56\x76\x6f\x6c\x75\x6d\x65\x08\x09\x23\x40\x29\x00\x00\x00\x00\x00\x00\x13"
    "\xff\xff\xff\xff\xff\xff\xff\xfb\x10\x2a\x13\x80\x00\x00\x00\x00\x00\x00\x00\x43\x00\x01\xfe\xd1"
    "\x14\x15\x54\x6c\x69\x73\x74\xa3\x16\x17\x18\x10\x01\x53\x74\x77\x6f\x23\x40\x08\x00\x00\x00\x00"
    "\x00\x00\x33\x40\xf5\x18\x00\x00\x00\x00\x00\x08\x1d\x27\x34\x43\x59\x62\x68\x6c\x71\x78\x7d\x84"
    "\x85\x86\x8f\x98\x9a\xa3\xa7\xaa\xaf\xb3\xb5\xb9\xc2\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00"
    "\x00\x00\x00\x00\x1a\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xcb";
const std::string_view kBinaryBytes(reinterpret_cast<const char*>(kBinary), sizeof kBinary - 1);

Ptr<NSObject> fromBytes(std::string_view bytes, std::string* problem = nullptr) {
    return NSPropertyListSerialization::propertyListWithData(
        NSData::dataWithBytes(bytes.data(), bytes.size()), nullptr, problem);
}

// A binary property list of `depth` arrays, each holding the next `width` times.
std::string deepBinary(std::uint64_t depth, int width = 1) {
    const auto bigEndian = [](std::uint64_t value, int size) {
        std::string bytes;
        for (int i = size - 1; i >= 0; --i) {
            bytes += static_cast<char>(value >> (8 * i));
        }
        return bytes;
    };
    std::string out = "bplist00";
    std::string offsets;
    for (std::uint64_t i = 0; i < depth; ++i) {
        offsets += bigEndian(out.size(), 4);
        out += static_cast<char>(i + 1 < depth ? 0xA0 + width : 0xA0);
        for (int reference = 0; reference < width && i + 1 < depth; ++reference) {
            out += bigEndian(i + 1, 4);
        }
    }
    const std::uint64_t table = out.size();
    return out + offsets + std::string(6, '\0') + "\x04\x04" + bigEndian(depth, 8) + bigEndian(0, 8) +
           bigEndian(table, 8);
}

class PropertyListTest : public PlatformTest {
protected:
    TemporaryDirectory files;
};

TEST_F(PropertyListTest, ReadsXmlBinaryAndXmlWithAByteOrderMarkAlike) {
    const auto settings = NSDictionary::dictionaryWithContentsOfFile(NSStr(files.write("xml.plist", kXml)));
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->count(), 10u);
    // Integers come back signed and booleans as booleans.
    EXPECT_EQ(NSIntegerValue(settings->objectForKey("negative")), -5);
    EXPECT_EQ(NSIntegerValue(settings->objectForKey("big")), INT64_MIN);
    EXPECT_TRUE(as<NSNumber>(settings->objectForKey("shareArtwork"))->isBoolean());
    EXPECT_TRUE(NSObjectsEqual(settings->objectForKey("data"), NSData::dataWithVector({0x00, 0x01, 0xfe})));
    EXPECT_DOUBLE_EQ(as<NSDate>(settings->objectForKey("when"))->referenceDateInterval(), 86400.0);
    EXPECT_TRUE(NSObjectsEqual(fromBytes(std::string("\xEF\xBB\xBF") + kXml), settings));
    NSPropertyListFormat format = NSPropertyListOpenStepFormat;
    EXPECT_TRUE(NSObjectsEqual(NSPropertyListSerialization::propertyListWithData(
                                   NSData::dataWithBytes(kBinaryBytes.data(), kBinaryBytes.size()), &format),
                               settings));
    EXPECT_EQ(format, NSPropertyListBinaryFormat_v1_0);
    // Moderate nesting and a little sharing still read.
    EXPECT_TRUE(as<NSArray>(fromBytes(deepBinary(100))));
    const auto shared = as<NSArray>(fromBytes(deepBinary(6, 2)));
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->count(), 2u);
    EXPECT_TRUE(NSObjectsEqual(shared->objectAtIndex(0), shared->objectAtIndex(1)));
}

TEST_F(PropertyListTest, EveryTruncationGivesNil) {
    const std::string_view xml(kXml);
    const std::size_t complete = xml.rfind("</plist>") + std::string_view("</plist>").size();
    for (std::size_t length = 1; length < complete; ++length) {
        ASSERT_EQ(fromBytes(xml.substr(0, length)), nullptr) << "XML cut at " << length;
    }
    for (std::size_t length = 1; length < kBinaryBytes.size(); ++length) {
        ASSERT_EQ(fromBytes(kBinaryBytes.substr(0, length)), nullptr) << "binary cut at " << length;
    }
}

TEST_F(PropertyListTest, DamagedOrForeignContentGivesNil) {
    // A UTF-16 key with a NUL unit, which the parser underneath would abort on.
    std::string nulKey(kBinaryBytes);
    const std::size_t key = nulKey.find("nested");
    nulKey[key - 1] = '\x63'; // UTF-16, three units: 0x0000 0x7374 0x6564
    nulKey[key] = nulKey[key + 1] = '\0';
    std::string brokenOffsetTable(kBinaryBytes);
    brokenOffsetTable.back() = '\x05';
    // Deep enough to overflow the stack of a recursive reader or free.
    std::string opening, closing;
    for (int i = 0; i < 200000; ++i) {
        opening += "<array>";
        closing += "</array>";
    }
    const std::string xmlString = "<plist version=\"1.0\"><string>a&#x0;b</string></plist>";
    const std::string notAList = "is not a property list";
    const std::string damaged = "is a binary property list with a damaged object table";
    const std::string tooDeep = "is nested too deeply (more than 512 levels)";
    // Name, bytes, the problem reported.
    const std::tuple<std::string_view, std::string, std::string> cases[] = {
        {"empty", "", "is empty"},
        {"whitespace", "  \n\n", notAList},
        {"text", "startView = volume;", notAList},
        {"JSON", "{\"startView\": \"volume\"}", notAList},
        {"PNG", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), notAList},
        {"HTML", "<html><body>not a plist</body></html>", notAList},
        {"binary header only", "bplist00", damaged},
        {"unclosed XML", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>", "is incomplete"},
        {"binary key with NUL", nulKey, damaged},
        {"broken offset table", brokenOffsetTable, damaged},
        {"array holding itself",
         std::string("bplist00\xA1\x00\x08", 11) + std::string(6, '\0') +
             std::string("\x01\x01\0\0\0\0\0\0\0\x01", 10) + std::string(8, '\0') +
             std::string("\0\0\0\0\0\0\0\x0a", 8),
         "is a binary property list whose objects contain themselves"},
        {"nested too deep, XML", "<plist version=\"1.0\">" + opening + closing + "</plist>", tooDeep},
        {"nested too deep, binary", deepBinary(200000), tooDeep},
        // Each array holds the next twice: 2^40 objects once unfolded, from 600 bytes.
        {"shared objects unfolding", deepBinary(40, 2),
         "has shared objects that unfold into more objects than the file has bytes"},
        {"reference to NUL", xmlString,
         "holds the character reference &#x0;, which names no character XML allows"},
    };
    for (const auto& [name, bytes, problem] : cases) {
        std::string reported;
        EXPECT_EQ(fromBytes(bytes, &reported), nullptr) << name;
        EXPECT_EQ(reported, problem) << name;
    }
}

TEST(DictionaryTest, LaterEntriesReplaceEarlierOnesInTheFirstOnesPlace) {
    // Few and many entries: the same answers whichever way the keys are found.
    for (const int count : {3, 40000}) {
        NSDictionary::Entries entries;
        for (int i = 0; i < count; ++i) {
            entries.emplace_back("k" + std::to_string(i % (count - 1)), NSNumber::numberWithInteger(i));
        }
        entries.emplace_back("k1", nullptr);
        const auto dictionary = NSDictionary::dictionaryWithEntries(entries);
        ASSERT_EQ(dictionary->count(), static_cast<NSUInteger>(count - 1)) << count;
        EXPECT_EQ(dictionary->entries().front().first, "k0");
        EXPECT_EQ(NSIntegerValue(dictionary->objectForKey("k0")), count - 1);
        EXPECT_EQ(dictionary->entries().back().first, "k" + std::to_string(count - 2));
        EXPECT_EQ(NSIntegerValue(dictionary->objectForKey("k1")), 1);
    }
}

TEST_F(PropertyListTest, FilesThatCannotBeReadOrHoldAnotherRootGiveNil) {
    std::filesystem::create_directories(files.file("directory.plist"));
    const std::string arrayRoot = files.write(
        "array.plist",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>a</string></array></plist>");
    const std::string paths[] = {files.file("missing.plist"), files.file("directory.plist"), arrayRoot};
    for (const auto& path : paths) {
        EXPECT_EQ(NSDictionary::dictionaryWithContentsOfFile(NSStr(path)), nullptr) << path;
    }
    EXPECT_TRUE(NSArray::arrayWithContentsOfFile(NSStr(arrayRoot)));
}

TEST_F(PropertyListTest, WritesReplaceTheFileWholeOrLeaveItAlone) {
    const std::string target = files.write("settings.plist", kXml);
    const auto path = NSStr(target);
    // Not property-list objects, a container holding itself, a date out of range: nothing is written.
    auto loop = alloc<NSMutableArray>();
    loop->addObject(loop);
    for (const Ptr<NSObject>& bad : {Ptr<NSObject>(NSValue::valueWithCGSize(CGSizeMake(1, 2))),
                                     Ptr<NSObject>(NSSet::setWithObject(NSStr("a"))), Ptr<NSObject>(loop),
                                     Ptr<NSObject>(NSDate::dateWithTimeIntervalSinceReferenceDate(1e10))}) {
        EXPECT_FALSE(NSDictionary::dictionaryWithObject(bad, "bad")->writeToFile(path, YES));
        EXPECT_FALSE(NSDictionary::dictionaryWithObject(bad, "bad")->writeToFile(path, NO));
    }
    loop->removeAllObjects();
    EXPECT_TRUE(NSObjectsEqual(NSDictionary::dictionaryWithContentsOfFile(path), fromBytes(kXml)));
    // A directory in the way fails the rename; the temporary file goes.
    std::filesystem::create_directories(files.file("taken.plist"));
    EXPECT_FALSE(NSDictionary::dictionary()->writeToFile(NSStr(files.file("taken.plist")), YES));
    EXPECT_EQ(filesUnder(files.path()), (std::vector<std::string>{"settings.plist", "taken.plist"}));
    // A good write replaces the file, keeps its permissions and reads back, in XML and binary.
    auto settings = NSMutableDictionary::dictionaryWithDictionary(as<NSDictionary>(fromBytes(kXml)));
    settings->setObject(NSStr("time & <space>"), "startView");
    settings->setObject(NSNumber::numberWithDouble(0.1), "roundedCornersValue");
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(settings->writeToFile(path, YES));
    EXPECT_EQ(readFile(target).rfind("<?xml", 0), 0u);
    EXPECT_TRUE(NSObjectsEqual(NSDictionary::dictionaryWithContentsOfFile(path), settings));
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    const auto binary =
        NSPropertyListSerialization::dataWithPropertyList(settings, NSPropertyListBinaryFormat_v1_0);
    EXPECT_TRUE(NSObjectsEqual(NSPropertyListSerialization::propertyListWithData(binary), settings));
}

} // namespace
