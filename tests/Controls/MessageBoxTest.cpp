// The message box over the demo layout "td/data/mm": a plain message with one centred button,
// a confirmation with the confirming button on the left handing its command to the game.
#include "SkinnedFixture.h"

#include "Core/Layer/TextLayer.h"
#include "Core/Widget/BaseBoard.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Core/Widget/Controls/TesselButton.h"

namespace
{
class MessageBoxTest : public controlstest::SkinnedFixture
{
protected:
    TMessageBox* Open(const std::wstring& command)
    {
        auto* box = new TMessageBox(L"restart_question", command);
        EXPECT_EQ(QL_OK, box->Build());
        EXPECT_EQ(QL_OK, mManager.ShowModal(box, true));
        Tick(0.0f);
        return box;
    }
    // The texts the box shows, in order.
    static std::vector<std::wstring> Texts(TMessageBox* box)
    {
        std::vector<std::wstring> texts;
        for (layer::Layer* layer : box->GetLayer()->GetChildren())
            if (auto* text = dynamic_cast<layer::TextLayer*>(layer))
                texts.push_back(text->mText);
        return texts;
    }
};

TEST_F(MessageBoxTest, PlainMessageHasOneCentredOkButtonThatOnlyCloses)
{
    TMessageBox* box = Open(L"");
    ASSERT_NE(box->mCloseButton, nullptr);
    EXPECT_EQ(box->mConfirmButton, nullptr);
    EXPECT_EQ(box->GetChildren().size(), 1u);
    EXPECT_FLOAT_EQ(box->mCloseButton->mPosition.x, 516.0f);
    EXPECT_FLOAT_EQ(box->mCloseButton->mPosition.y, 535.0f);
    EXPECT_EQ(Texts(box), (std::vector<std::wstring>{L"<restart_question>", L"<b1_ok>"}));
    Click({516, 535});
    EXPECT_EQ(mHost.sounds, (std::vector<std::wstring>{L"simple"}));
    EXPECT_TRUE(mSettings.commands.empty());
    Tick(0.0f);
    EXPECT_TRUE(mManager.GetStack().empty());
}

TEST_F(MessageBoxTest, ConfirmationPutsOkLeftAndCancelRight)
{
    TMessageBox* box = Open(L"restart");
    ASSERT_NE(box->mConfirmButton, nullptr);
    EXPECT_FLOAT_EQ(box->mConfirmButton->mPosition.x, 390.0f);
    EXPECT_FLOAT_EQ(box->mCloseButton->mPosition.x, 642.0f);
    EXPECT_EQ(Texts(box), (std::vector<std::wstring>{L"<restart_question>", L"<b1_cancel>", L"<b1_ok>"}));
    Click({390, 535});
    EXPECT_EQ(mHost.sounds, (std::vector<std::wstring>{L"simple"}));
    EXPECT_EQ(mSettings.commands, (std::vector<std::wstring>{L"restart"}));
    Tick(0.0f);
    EXPECT_TRUE(mManager.GetStack().empty());
}

TEST_F(MessageBoxTest, CancelClosesWithoutTheCommand)
{
    Open(L"mmenu");
    Click({642, 535});
    EXPECT_EQ(mHost.sounds.size(), 1u);
    EXPECT_TRUE(mSettings.commands.empty());
    Tick(0.0f);
    EXPECT_TRUE(mManager.GetStack().empty());
}

TEST_F(MessageBoxTest, ModalBoxKeepsPressesFromTheFramesBelow)
{
    struct Below : widget::BaseBoard
    {
        QLResultEnum OnPress(const math::Point3&, u32) override
        {
            ++presses;
            return QL_OK;
        }
        int presses = 0;
    };
    auto* below = new Below();
    below->SetRect(0, 0, 1024, 768);
    EXPECT_EQ(QL_OK, mManager.Add(below, false, true, false));
    Open(L"");
    Click({20, 20}); // outside the box's images
    EXPECT_EQ(below->presses, 0);
}
} // namespace
