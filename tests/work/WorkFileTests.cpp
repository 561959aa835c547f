#include "WorkFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

namespace {

TWork SampleWork()
{
    TWork w;
    TWorkPicture p;
    p.Path = "../scans/naca 2412 \"Kopie\".png";
    p.AbsolutePath = "/home/nutzer/scans/naca 2412 \"Kopie\".png";
    p.Sha256 = std::string(64, 'a');
    p.Page = 2;
    p.Dpi = 300.0;
    w.Picture = p;
    w.Mirrors = {TMirror::Horizontal, TMirror::Vertical, TMirror::Horizontal};
    w.View = {-17, 40, 105.0, 1.157625, 355.0, 6};
    w.Title = "NACA 2412 – Flügel\\ \"Test\"\t";
    w.ProfileSaved = false;
    return w;
}

std::string ReadFixture(const char* name)
{
    std::ifstream in(std::string(ZOVORI_WORK_FIXTURES) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Replace(std::string s, const std::string& from, const std::string& to)
{
    const auto at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? s : s.replace(at, from.size(), to);
}

} // namespace

TEST(WorkFile, SaveOpenSaveIsByteIdenticalAndEveryDoubleKeepsItsBits)
{
    TWork w = SampleWork();
    const double tricky[] = {-0.0, 0.0, 0.1 + 0.2, 1.0 / 3.0, std::numeric_limits<double>::denorm_min(),
                             -std::numeric_limits<double>::min(), 1e9, -1e9, 123456789.00000001, 5e-324,
                             std::nextafter(100.0, 0.0), 2.5, -7.0e-17};
    for (const double x : tricky)
        for (const double y : tricky)
            w.Points.push_back({x, y, 0.0});
    const std::string first = WriteWork(w);
    const TWork back = ReadWork(first);
    EXPECT_TRUE(SameWork(back, w));
    EXPECT_EQ(WriteWork(back), first);

    // No picture, no points, an embedded clipboard picture: the other shapes of a file.
    TWork empty;
    EXPECT_TRUE(SameWork(ReadWork(WriteWork(empty)), empty));
    TWork pasted;
    pasted.Picture = TWorkPicture{};
    pasted.Picture->FromClipboard = true;
    pasted.Picture->EmbeddedPng = std::string("\x89PNG\r\n\x1a\n\0\xff", 10);
    const TWork pastedBack = ReadWork(WriteWork(pasted));
    EXPECT_EQ(pastedBack.Picture, pasted.Picture);
    EXPECT_EQ(WriteWork(pastedBack), WriteWork(pasted));
}

TEST(WorkFile, VersionOneFixtureReadsAndWritesBackUnchanged)
{
    const std::string bytes = ReadFixture("version1.zovori");
    ASSERT_FALSE(bytes.empty());
    const TWork w = ReadWork(bytes);
    ASSERT_TRUE(w.Picture);
    EXPECT_EQ(w.Picture->Path, "scan.bmp");
    EXPECT_EQ(w.Picture->AbsolutePath, "/home/nutzer/profile/scan.bmp");
    EXPECT_EQ(w.Picture->Sha256, "5d41402abc4b2a76b9719d911017c592aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
    EXPECT_EQ(w.Mirrors, std::vector<TMirror>{TMirror::Horizontal});
    EXPECT_EQ(w.View, (TWorkView{12, -30, 110.0, 1.331, 5.0, 5}));
    EXPECT_EQ(w.Title, "Test-Zovori");
    EXPECT_TRUE(w.ProfileSaved);
    ASSERT_EQ(w.Points.size(), 4u);
    EXPECT_EQ(w.Points[1].x, 0.30000000000000004);
    EXPECT_TRUE(std::signbit(w.Points[3].y) && w.Points[3].y == 0.0);
    EXPECT_EQ(WriteWork(w), bytes);
}

TEST(WorkFile, DamagedOrHostileFilesAreRefusedWithAGermanReason)
{
    TWork w = SampleWork();
    w.Points = {{1.5, 2.5, 0.0}, {3.0, 4.0, 0.0}};
    const std::string good = WriteWork(w);
    ASSERT_NO_THROW(ReadWork(good));
    TWork noPicture;
    noPicture.Points = w.Points;
    const std::string bare = WriteWork(noPicture);
    std::string points = "\"1 1\"";
    for (int i = 1; i < 1000000; ++i)
        points += ",\"1 1\"";
    const std::string million = Replace(bare, "\"1.5 2.5\"", points);

    struct Row {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Row rows[] = {
        {"empty", "", "keine Zovori-Arbeitsdatei oder ist beschädigt"},
        {"truncated", good.substr(0, good.size() / 2), "keine Zovori-Arbeitsdatei oder ist beschädigt"},
        {"another JSON file", "{\"format\": \"anderes\"}", "ist keine Zovori-Arbeitsdatei."},
        {"newer version", Replace(good, "\"version\": 1", "\"version\": 2"), "neueren Programmversion (Format 2)"},
        {"version zero", Replace(good, "\"version\": 1", "\"version\": 0"), "„version“"},
        {"NaN point", Replace(good, "\"1.5 2.5\"", "\"nan 2.5\""), "Punkt 1 ist ungültig"},
        {"infinite point", Replace(good, "\"3 4\"", "\"3 inf\""), "Punkt 2 ist ungültig"},
        {"huge point", Replace(good, "\"3 4\"", "\"3 1e300\""), "Punkt 2 ist ungültig"},
        {"point beyond double", Replace(good, "\"3 4\"", "\"3 1e400\""), "Punkt 2 ist ungültig"},
        {"three numbers", Replace(good, "\"3 4\"", "\"3 4 5\""), "Punkt 2 ist ungültig"},
        {"number instead of text", Replace(good, "\"3 4\"", "3"), "Punkt 2 ist ungültig"},
        {"a million points", million, "zu viele Punkte (1000001;"},
        {"title with a line break", Replace(good, "\"NACA", "\"\\nNACA"), "„title“"},
        {"huge dot size", Replace(good, "\"pointRadius\": 6", "\"pointRadius\": 1e300"), "„pointRadius“"},
        {"fractional origin", Replace(good, "\"originX\": -17", "\"originX\": -17.5"), "„originX“"},
        {"zero zoom", Replace(good, "\"zoomFactor\": 1.157625", "\"zoomFactor\": 0"), "„zoomFactor“"},
        {"full turn", Replace(good, "\"rotation\": 355", "\"rotation\": 360"), "„rotation“"},
        {"unknown mirror", Replace(good, "\"vertical\"", "\"diagonal\""), "„mirrors“"},
        {"mirrors without a picture", Replace(bare, "\"mirrors\": []", "\"mirrors\": [\"vertical\"]"), "„mirrors“"},
        {"short hash", Replace(good, std::string(64, 'a'), "abc"), "„sha256“"},
        {"upper-case hash", Replace(good, std::string(64, 'a'), std::string(64, 'A')), "„sha256“"},
        {"file picture without a hash", Replace(good, std::string(64, 'a'), ""), "„sha256“"},
        {"no file and nothing embedded", Replace(Replace(good, std::string(64, 'a'), ""),
                                                 "\"/home/nutzer/scans/naca 2412 \\\"Kopie\\\".png\"", "\"\""),
         "„embeddedPng“"},
        {"picture not an object", Replace(bare, "\"picture\": null", "\"picture\": 5"), "„picture“"},
        {"missing view", Replace(good, "\"view\"", "\"sicht\""), "„view“"},
    };
    for (const Row& row : rows) {
        try {
            ReadWork(row.bytes);
            ADD_FAILURE() << row.name << ": read";
        } catch (const TWorkError& e) {
            EXPECT_NE(std::string(e.what()).find(row.message), std::string::npos) << row.name << ": " << e.what();
        }
    }
}
