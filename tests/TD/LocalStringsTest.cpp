// Local strings: lines, keys and escapes, missing keys appended to the loose file, and icon rows.
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Draw/AttributedString.h"
#include "Source/TD/Seams/TDBattleServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace
{
struct StringsFixture : ::testing::Test
{
    void SetUp() override { base::SingletoneBase::DestroyAll(); }
    void TearDown() override { base::SingletoneBase::DestroyAll(); }
    LocalStrings& strings(const std::string& text)
    {
        LocalStrings* s = LocalStrings::Instance();
        s->setLooseFile("/nonexistent/strings.csv");
        s->loadText(text);
        return *s;
    }
};

struct FixedFont : TDFont
{
    float measureText(const std::wstring& text) const override { return 5.0f * static_cast<float>(text.size()); }
};

struct Icon : TDImage
{
    i32 w;
    explicit Icon(i32 width) : w(width) {}
    i32 width() const override { return w; }
    i32 height() const override { return 16; }
};

struct RecordingPainter : TDTextPainter
{
    std::vector<float> offsets;
    std::vector<std::wstring> texts;
    void setFont(const std::shared_ptr<TDFont>&) override {}
    void drawText(const std::wstring& text, int, int vAlign, const math::Transform2D& t) override
    {
        EXPECT_EQ(vAlign, 2);
        texts.push_back(text);
        offsets.push_back(t.GetTranslationX() + t.GetOffsetX());
    }
    void drawImage(const TDImage*, int, int, const math::Transform2D& t) override
    {
        texts.push_back(L"<icon>");
        offsets.push_back(t.GetTranslationX() + t.GetOffsetX());
    }
};
} // namespace

TEST_F(StringsFixture, LinesKeysAndEscapesAndAMissingKeyIsAppendedOnceOnlyToAnExistingLooseFile)
{
    LocalStrings& s = strings("\xEF\xBB\xBF  k1;crlf\r\nk2;lf\n key ;x\nk1;later\nthree;a;b\n   \nnosemicolon\r\n"
                              "a;one\\ntwo\nb;\\\nc;end\\\nd;\\x\nbad;\xC3\x28 ok\n\xFF\xFE;x\ngood;caf\xC3\xA9\n");
    // A later key wins, a third cell is ignored, a backslash-n expands only when handed out.
    for (auto [key, value] : {std::pair{L"k1", L"later"},
                              {L"k2", L"lf"},
                              {L"three", L"a"},
                              {L"nosemicolon", L""},
                              {L"a", L"one\ntwo"},
                              {L"b", L"\\"},
                              {L"c", L"end\\"},
                              {L"d", L"\\x"},
                              {L"good", L"caf\u00e9"}})
        EXPECT_EQ(s.get(key), value);
    EXPECT_EQ(s.table().count(L"key "), 1u);
    EXPECT_EQ(s.table().count(L"nosemicolon\r"), 0u);
    EXPECT_EQ(s.table().at(L"a"), L"one\\ntwo");
    // Invalid UTF-8 costs the bad bytes only.
    EXPECT_NE(s.get(L"bad").find(L"ok"), std::wstring::npos);

    // A missing key is appended once, and only to a loose file that exists.
    testsupport::TempDir dir;
    dir.Write("strings_en.csv", "a;b\n");
    LocalStrings* loose = LocalStrings::Instance();
    loose->setLooseFile((dir.Path() / "strings_en.csv").string());
    EXPECT_EQ(loose->get(L"missing_key"), L"missing_key");
    EXPECT_EQ(loose->get(L"missing_key"), L"missing_key");
    loose->get(L"bad;key");
    loose->get(L"");
    EXPECT_EQ(dir.Read("strings_en.csv"), "a;b\nmissing_key;???\r\n");

    loose->setLooseFile((dir.Path() / "absent.csv").string());
    EXPECT_EQ(loose->get(L"other"), L"other");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "absent.csv"));
}

TEST(AttributedString, IconsCutTheTextAndTheRowIsCentred)
{
    Icon coin(16);
    AttributedString s;
    s.font = std::make_shared<FixedFont>();
    s.addIcon(L'$', &coin);
    s.text = L"$abc";
    s.build();
    ASSERT_EQ(s.chunks.size(), 2u);
    EXPECT_EQ(s.chunks[0]->width, 16.0f);
    s.text = L"12345678$"; // 40 + 16 + an empty piece
    s.build();
    ASSERT_EQ(s.chunks.size(), 3u);
    EXPECT_EQ(s.chunks[0]->width, 40.0f);
    EXPECT_EQ(s.chunks[2]->width, 0.0f);
    RecordingPainter painter;
    s.draw(painter, math::Transform2D());
    ASSERT_EQ(painter.offsets.size(), 3u);
    EXPECT_EQ(painter.offsets[0], -28.0f);
    EXPECT_EQ(painter.offsets[1], 12.0f);
    EXPECT_EQ(painter.texts[1], L"<icon>");
}
