// CJsonFile: what reads as null, the styled output, atomic replacement.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "tests/profiles/TempDir.h"

using profiles::CJsonFile;

namespace {

struct ReadCase {
    const char* name;
    const char* text;  // nullptr: the file does not exist
    bool null;
};

TEST(JsonFile, ReadsWholeFilesAndGivesNullForAnythingElse) {
    const ReadCase cases[] = {
        {"missing", nullptr, true},
        {"empty", "", true},
        {"truncated", "{\"Device\": [ {\"LightInfo\": {", true},
        {"garbage", "\x01\x02not json", true},
        {"comments", "// a comment\n{ /* inline */ \"a\": 1 }\n", false},
        {"crlf", "{\r\n   \"a\" : 1\r\n}\r\n", false},
        {"nested too deep", nullptr, true},
    };
    TempDir dir;
    CJsonFile file;
    for (const ReadCase& c : cases) {
        std::string path = dir.File(c.name);
        if (std::string(c.name) == "nested too deep") {
            dir.Write(c.name, std::string(5000, '[') + std::string(5000, ']'));
        } else if (c.text) {
            dir.Write(c.name, c.text);
        }
        Json::Value v = file.ReadJsonFile(path);
        EXPECT_EQ(v.isNull(), c.null) << c.name;
        if (!c.null) {
            EXPECT_EQ(profiles::json::IntMember(v, "a"), 1) << c.name;
        }
    }
}

TEST(JsonFile, RefusesFoldersFifosAndOversizedFiles) {
    TempDir dir;
    CJsonFile file;
    EXPECT_TRUE(file.ReadJsonFile(dir.path()).isNull());
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    EXPECT_TRUE(file.ReadJsonFile(dir.File("fifo")).isNull());  // must not block
    // A valid array just over the cap.
    std::string big = "[" + std::string(CJsonFile::kMaxFileBytes, ' ') + "]";
    EXPECT_TRUE(file.ReadJsonFile(dir.Write("big", big)).isNull());
    EXPECT_EQ(file.ReadJsonFile(dir.Write("ok", "[1]")).size(), 1u);
}

TEST(JsonFile, StyledOutputHasCrLfAndOneTrailingLineEndAndRoundTrips) {
    Json::Value v;
    v["Device"][0]["LightInfo"]["Red"] = 255;
    v["Device"][0]["KeyList"][0]["Assignment"] = 0x100100;
    v["profilename"] = "Profil \xc3\xa9\n\"quoted\"";
    v["empty"] = Json::Value(Json::arrayValue);
    v["negative"] = -13;
    TempDir dir;
    CJsonFile file;
    const std::string path = dir.File("p.Json");
    ASSERT_TRUE(file.WriteJsonFile(path, v));
    const std::string text = TempDir::Read(path);
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_NE(text.substr(text.size() - 4), "\r\n\r\n");
    EXPECT_EQ(text.find('\n', 0) - 1, text.find('\r', 0));
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "bare line feed at " << i;
        }
    }
    EXPECT_NE(text.find("\"Red\" : 255"), std::string::npos) << "one member per line, styled";
    EXPECT_EQ(file.ReadJsonFile(path), v);
    EXPECT_EQ(CJsonFile::StyledText(v), text);
}

TEST(JsonFile, WriteReplacesAtomicallyAndReportsFailure) {
    TempDir dir;
    CJsonFile file;
    const std::string path = dir.File("p.Json");
    ASSERT_TRUE(file.WriteJsonFile(path, Json::Value(1)));
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(file.WriteJsonFile(path, Json::Value(2)));
    EXPECT_EQ(file.ReadJsonFile(path).asInt(), 2);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "a replaced file keeps its mode";
    // No temporary files are left behind.
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        entries += e.exists();
    EXPECT_EQ(entries, 1);
    // A symbolic link stays a link; the file it points at is replaced.
    std::filesystem::create_directory(dir.File("real"));
    std::filesystem::create_symlink(dir.File("real/target.Json"), dir.File("link.Json"));
    ASSERT_TRUE(file.WriteJsonFile(dir.File("link.Json"), Json::Value(3)));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.Json")));
    EXPECT_EQ(file.ReadJsonFile(dir.File("real/target.Json")).asInt(), 3);

    EXPECT_FALSE(file.WriteJsonFile(dir.File("no/such/folder/p.Json"), Json::Value(1)));
    EXPECT_FALSE(file.WriteJsonFile("", Json::Value(1)));
    // A folder cannot be replaced by a file: failure, and the folder stays.
    std::filesystem::create_directory(dir.File("sub"));
    EXPECT_FALSE(file.WriteJsonFile(dir.File("sub"), Json::Value(1)));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("sub")));
}

TEST(JsonFile, TimeStampHasTheIdentifierFormat) {
    const std::string stamp = CJsonFile::MakeTimeStamp();
    EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d{4}_\d\d_\d\d_\d\d_\d\d_\d\d_\d\d\d)")))
        << stamp;
}

TEST(JsonAccess, WrongTypesReadAsMissing) {
    Json::Value v = CJsonFile::ParseJsonText(
        R"({"obj": {"n": 5}, "arr": [1, "x"], "s": "text", "big": 4294967297, "d": 7.9, "b": true})");
    using namespace profiles::json;
    EXPECT_TRUE(Member(Member(v, "arr"), "n").isNull());   // key on an array
    EXPECT_TRUE(Element(Member(v, "obj"), 0).isNull());    // index on an object
    EXPECT_TRUE(Element(Member(v, "arr"), 9).isNull());    // past the end
    EXPECT_EQ(Int(Member(v, "obj")), 0);                   // object as a number
    EXPECT_EQ(Int(Element(Member(v, "arr"), 1), -1), -1);  // string as a number
    EXPECT_EQ(ByteMember(v, "big"), 1);                    // low byte of a too-wide value
    EXPECT_EQ(IntMember(v, "d"), 7);
    EXPECT_TRUE(BoolMember(v, "b"));
    EXPECT_EQ(String(Member(v, "obj")), "");
    EXPECT_EQ(String(Member(v, "s")), "text");
    Json::Value w(5);
    ArrayElement(ObjectMember(w, "list"), 2) = 1;  // a number becomes an object
    EXPECT_EQ(Size(Member(w, "list")), 3u);
}

}  // namespace
