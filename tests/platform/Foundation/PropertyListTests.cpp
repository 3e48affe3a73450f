#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "Foundation/NSCollections.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "support/TestSupport.h"

namespace {

const char kXml[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>startView</key>
	<string>volume</string>
	<key>shareArtwork</key>
	<false/>
	<key>showSeperators</key>
	<true/>
	<key>roundedCornersValue</key>
	<real>12.5</real>
	<key>negative</key>
	<integer>-5</integer>
	<key>count</key>
	<integer>42</integer>
	<key>big</key>
	<integer>-9223372036854775808</integer>
	<key>data</key>
	<data>AAH+</data>
	<key>nested</key>
	<dict>
		<key>list</key>
		<array>
			<integer>1</integer>
			<string>two</string>
			<real>3</real>
		</array>
	</dict>
	<key>when</key>
	<date>2001-01-02T00:00:00Z</date>
</dict>
</plist>
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

Ptr<NSDictionary> dictionaryFromBytes(std::string_view bytes) {
    return as<NSDictionary>(
        NSPropertyListSerialization::propertyListWithData(NSData::dataWithBytes(bytes.data(), bytes.size())));
}

// A binary property list of `depth` arrays, each holding the next.
std::string deepBinary(std::size_t depth) {
    std::string out = "bplist00";
    std::vector<std::uint32_t> offsets;
    auto bigEndian = [&](std::uint64_t value, int size) {
        for (int i = size - 1; i >= 0; --i) {
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    for (std::size_t i = 0; i < depth; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        if (i + 1 < depth) {
            out += '\xA1';
            bigEndian(i + 1, 4);
        } else {
            out += '\xA0';
        }
    }
    const std::size_t table = out.size();
    for (auto offset : offsets) {
        bigEndian(offset, 4);
    }
    out.append(6, '\0');
    out += '\x04';
    out += '\x04';
    bigEndian(depth, 8);
    bigEndian(0, 8);
    bigEndian(table, 8);
    return out;
}

class PropertyListTest : public PlatformTest {
protected:
    Ptr<NSDictionary> readFile(const std::string& relative) {
        return NSDictionary::dictionaryWithContentsOfFile(NSStr(files.file(relative)));
    }
    TemporaryDirectory files;
};

void expectSettings(const Ptr<NSDictionary>& settings) {
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->count(), 10u);
    EXPECT_TRUE(NSObjectsEqual(settings->objectForKey("startView"), NSStr("volume")));
    auto shareArtwork = as<NSNumber>(settings->objectForKey("shareArtwork"));
    ASSERT_TRUE(shareArtwork);
    EXPECT_TRUE(shareArtwork->isBoolean());
    EXPECT_FALSE(shareArtwork->boolValue());
    EXPECT_TRUE(NSBoolValue(settings->objectForKey("showSeperators")));
    EXPECT_FLOAT_EQ(NSFloatValue(settings->objectForKey("roundedCornersValue")), 12.5f);
    // libplist keeps integers unsigned: these must come back signed.
    EXPECT_EQ(NSIntegerValue(settings->objectForKey("negative")), -5);
    EXPECT_EQ(NSIntegerValue(settings->objectForKey("count")), 42);
    EXPECT_EQ(NSIntegerValue(settings->objectForKey("big")), INT64_MIN);
    EXPECT_TRUE(as<NSNumber>(settings->objectForKey("count"))->isInteger());
    EXPECT_TRUE(NSObjectsEqual(settings->objectForKey("data"), NSData::dataWithVector({0x00, 0x01, 0xfe})));
    auto nested = as<NSDictionary>(settings->objectForKey("nested"));
    ASSERT_TRUE(nested);
    EXPECT_TRUE(NSObjectsEqual(nested->objectForKey("list"),
                               NSArray::arrayWithObjects({NSNumber::numberWithInteger(1), NSStr("two"),
                                                          NSNumber::numberWithDouble(3.0)})));
    auto when = as<NSDate>(settings->objectForKey("when"));
    ASSERT_TRUE(when);
    EXPECT_DOUBLE_EQ(when->referenceDateInterval(), 86400.0);
}

TEST_F(PropertyListTest, ReadsXmlAndBinaryAlike) {
    expectSettings(NSDictionary::dictionaryWithContentsOfFile(NSStr(files.write("xml.plist", kXml))));
    expectSettings(
        NSDictionary::dictionaryWithContentsOfFile(NSStr(files.write("binary.plist", kBinaryBytes))));
    NSPropertyListFormat format = NSPropertyListOpenStepFormat;
    NSPropertyListSerialization::propertyListWithData(
        NSData::dataWithBytes(kBinaryBytes.data(), kBinaryBytes.size()), &format);
    EXPECT_EQ(format, NSPropertyListBinaryFormat_v1_0);
}

TEST_F(PropertyListTest, MissingUnreadableAndEmptyFilesGiveNil) {
    EXPECT_EQ(readFile("missing.plist"), nullptr);
    EXPECT_EQ(NSDictionary::dictionaryWithContentsOfFile(nullptr), nullptr);
    EXPECT_EQ(NSDictionary::dictionaryWithContentsOfFile(NSStr("")), nullptr);
    // A directory where the file should be, and a path through a regular file.
    std::filesystem::create_directories(files.file("directory.plist"));
    EXPECT_EQ(readFile("directory.plist"), nullptr);
    files.write("plain", "x");
    EXPECT_EQ(readFile("plain/inside.plist"), nullptr);
    files.write("empty.plist", "");
    EXPECT_EQ(readFile("empty.plist"), nullptr);
    files.write("whitespace.plist", "  \n\n");
    EXPECT_EQ(readFile("whitespace.plist"), nullptr);
    if (::geteuid() != 0) { // permissions do not stop root
        const std::string locked = files.write("locked.plist", kXml);
        ::chmod(locked.c_str(), 0);
        EXPECT_EQ(readFile("locked.plist"), nullptr);
    }
}

TEST_F(PropertyListTest, EveryTruncationGivesNil) {
    const std::string_view xml(kXml);
    const std::size_t complete = xml.rfind("</plist>") + std::string_view("</plist>").size();
    for (std::size_t length = 1; length < complete; ++length) {
        ASSERT_EQ(dictionaryFromBytes(xml.substr(0, length)), nullptr) << "XML cut at " << length;
    }
    EXPECT_TRUE(dictionaryFromBytes(xml.substr(0, complete)));
    for (std::size_t length = 1; length < kBinaryBytes.size(); ++length) {
        ASSERT_EQ(dictionaryFromBytes(kBinaryBytes.substr(0, length)), nullptr) << "binary cut at " << length;
    }
}

TEST_F(PropertyListTest, OtherContentGivesNil) {
    for (std::string_view text : {
             std::string_view("startView = volume;"),
             std::string_view("{\"startView\": \"volume\"}"),
             std::string_view("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
             std::string_view("<html><body>not a plist</body></html>"),
             std::string_view("bplist00"),
             std::string_view("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>"),
         }) {
        EXPECT_EQ(dictionaryFromBytes(text), nullptr) << text;
    }
    // A UTF-16 key with a NUL unit: libplist would abort the process on it.
    std::string nulKey(kBinaryBytes);
    const std::size_t key = nulKey.find("nested");
    nulKey[key - 1] = '\x63'; // UTF-16, three units: 0x0000 0x7374 0x6564
    nulKey[key] = nulKey[key + 1] = '\0';
    EXPECT_EQ(dictionaryFromBytes(nulKey), nullptr);
    // A broken offset table and a container that holds itself.
    std::string broken(kBinaryBytes);
    broken[broken.size() - 1] = '\x05';
    EXPECT_EQ(dictionaryFromBytes(broken), nullptr);
    const std::string cycle = std::string("bplist00\xA1\x00", 10) + std::string("\x08", 1) +
                              std::string(6, '\0') + std::string("\x01\x01", 2) +
                              std::string("\0\0\0\0\0\0\0\x01", 8) + std::string(8, '\0') +
                              std::string("\0\0\0\0\0\0\0\x0a", 8);
    EXPECT_EQ(
        NSPropertyListSerialization::propertyListWithData(NSData::dataWithBytes(cycle.data(), cycle.size())),
        nullptr);
}

TEST_F(PropertyListTest, DeepNestingIsRefusedInsteadOfCrashing) {
    // Deep enough to overflow the stack of a recursive reader or free.
    std::string xml = "<plist version=\"1.0\">";
    for (int i = 0; i < 200000; ++i) {
        xml += "<array>";
    }
    for (int i = 0; i < 200000; ++i) {
        xml += "</array>";
    }
    xml += "</plist>";
    EXPECT_EQ(
        NSPropertyListSerialization::propertyListWithData(NSData::dataWithBytes(xml.data(), xml.size())),
        nullptr);
    const std::string binary = deepBinary(200000);
    EXPECT_EQ(NSPropertyListSerialization::propertyListWithData(
                  NSData::dataWithBytes(binary.data(), binary.size())),
              nullptr);
    // Moderate nesting still reads.
    const std::string shallow = deepBinary(100);
    EXPECT_TRUE(as<NSArray>(NSPropertyListSerialization::propertyListWithData(
        NSData::dataWithBytes(shallow.data(), shallow.size()))));
}

TEST_F(PropertyListTest, XmlWithAByteOrderMarkReads) {
    expectSettings(dictionaryFromBytes(std::string("\xEF\xBB\xBF") + kXml));
}

TEST_F(PropertyListTest, RootOfTheWrongTypeGivesNil) {
    const std::string arrayRoot = files.write(
        "array.plist",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>a</string></array></plist>");
    EXPECT_EQ(NSDictionary::dictionaryWithContentsOfFile(NSStr(arrayRoot)), nullptr);
    auto array = NSArray::arrayWithContentsOfFile(NSStr(arrayRoot));
    ASSERT_TRUE(array);
    EXPECT_TRUE(NSObjectsEqual(array, NSArray::arrayWithObjects({NSStr("a")})));
    EXPECT_EQ(NSArray::arrayWithContentsOfFile(NSStr(files.write("dict.plist", kXml))), nullptr);
    files.write("string.plist",
                "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>volume</string></plist>");
    EXPECT_EQ(readFile("string.plist"), nullptr);
}

TEST_F(PropertyListTest, WritesXmlThatReadsBack) {
    auto settings = NSMutableDictionary::dictionary();
    settings->setObject(NSStr("time & <space>"), "startView");
    settings->setObject(NSNumber::numberWithBool(true), "shareArtwork");
    settings->setObject(NSNumber::numberWithInteger(-5), "negative");
    settings->setObject(NSNumber::numberWithDouble(0.1), "real");
    settings->setObject(
        NSArray::arrayWithObjects({NSData::dataWithVector({1, 2}), NSDictionary::dictionary()}), "list");
    // XML keeps whole seconds of a date.
    settings->setObject(NSDate::dateWithTimeIntervalSinceReferenceDate(1234), "when");
    const auto path = NSStr(files.file("out.plist"));
    ASSERT_TRUE(settings->writeToFile(path, YES));
    const auto text = NSData::dataWithContentsOfFile(path);
    const std::string_view written(reinterpret_cast<const char*>(text->bytes()), text->length());
    EXPECT_EQ(written.rfind("<?xml", 0), 0u);
    EXPECT_NE(written.find("<integer>-5</integer>"), std::string_view::npos);
    EXPECT_TRUE(NSObjectsEqual(NSDictionary::dictionaryWithContentsOfFile(path), settings));
    // Binary serialisation round-trips too.
    const auto binary =
        NSPropertyListSerialization::dataWithPropertyList(settings, NSPropertyListBinaryFormat_v1_0);
    ASSERT_TRUE(binary);
    EXPECT_TRUE(NSObjectsEqual(NSPropertyListSerialization::propertyListWithData(binary), settings));
}

TEST_F(PropertyListTest, FailedWritesLeaveTheOldFileAndNoLeftovers) {
    const auto path = NSStr(files.write("settings.plist", kXml));
    // Not property-list objects: nothing is written.
    auto bad = NSDictionary::dictionaryWithObject(NSValue::valueWithCGSize(CGSizeMake(1, 2)), "size");
    EXPECT_FALSE(bad->writeToFile(path, YES));
    EXPECT_FALSE(
        NSDictionary::dictionaryWithObject(NSSet::setWithObject(NSStr("a")), "set")->writeToFile(path, NO));
    expectSettings(NSDictionary::dictionaryWithContentsOfFile(path));
    // A missing directory is not created.
    const auto nowhere = NSStr(files.file("missing/dir/settings.plist"));
    EXPECT_FALSE(NSDictionary::dictionary()->writeToFile(nowhere, YES));
    EXPECT_FALSE(NSDictionary::dictionary()->writeToFile(nowhere, NO));
    EXPECT_FALSE(std::filesystem::exists(files.file("missing")));
    // A directory in the way: the rename fails and the temporary file goes.
    std::filesystem::create_directories(files.file("taken.plist"));
    EXPECT_FALSE(NSDictionary::dictionary()->writeToFile(NSStr(files.file("taken.plist")), YES));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(files.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"settings.plist", "taken.plist"}));
}

TEST_F(PropertyListTest, AtomicWriteReplacesTheFileAndKeepsItsPermissions) {
    const std::string target = files.write("settings.plist", kXml);
    ::chmod(target.c_str(), 0640);
    auto replacement = NSDictionary::dictionaryWithObject(NSStr("time"), "startView");
    ASSERT_TRUE(replacement->writeToFile(NSStr(target), YES));
    EXPECT_TRUE(NSObjectsEqual(NSDictionary::dictionaryWithContentsOfFile(NSStr(target)), replacement));
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    // Non-atomic writes replace the contents in place.
    ASSERT_TRUE(NSDictionary::dictionary()->writeToFile(NSStr(target), NO));
    EXPECT_EQ(NSDictionary::dictionaryWithContentsOfFile(NSStr(target))->count(), 0u);
}

TEST_F(PropertyListTest, SerialisationRefusesWhatIsNotAPropertyList) {
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(nullptr, NSPropertyListXMLFormat_v1_0));
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(NSDictionary::dictionary(),
                                                                   NSPropertyListOpenStepFormat));
    EXPECT_FALSE(NSPropertyListSerialization::propertyListIsValidForFormat(alloc<NSObject>(),
                                                                           NSPropertyListXMLFormat_v1_0));
    EXPECT_TRUE(NSPropertyListSerialization::propertyListIsValidForFormat(NSStr("x"),
                                                                          NSPropertyListBinaryFormat_v1_0));
    // A date beyond what libplist can store, and an array that holds itself.
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(
        NSDate::dateWithTimeIntervalSinceReferenceDate(1e10), NSPropertyListXMLFormat_v1_0));
    auto loop = alloc<NSMutableArray>();
    loop->addObject(loop);
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(loop, NSPropertyListBinaryFormat_v1_0));
    loop->removeAllObjects();
}

TEST_F(PropertyListTest, DirectoriesAreCreatedOnlyOnRequest) {
    auto* manager = NSFileManager::defaultManager();
    const auto nested = NSStr(files.file("a/b/c"));
    EXPECT_FALSE(manager->createDirectoryAtPath(nested, NO));
    EXPECT_TRUE(manager->createDirectoryAtPath(nested, YES));
    EXPECT_TRUE(manager->createDirectoryAtPath(nested, YES));
    BOOL isDirectory = NO;
    EXPECT_TRUE(manager->fileExistsAtPath(nested, &isDirectory));
    EXPECT_TRUE(isDirectory);
    EXPECT_TRUE(NSDictionary::dictionary()->writeToFile(NSStr(files.file("a/b/c/x.plist")), YES));
    EXPECT_TRUE(manager->fileExistsAtPath(NSStr(files.file("a/b/c/x.plist")), &isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_TRUE(manager->removeItemAtPath(NSStr(files.file("a"))));
    EXPECT_FALSE(manager->fileExistsAtPath(nested));
    EXPECT_FALSE(manager->removeItemAtPath(NSStr(files.file("a"))));
}

} // namespace
