// The controls prompts with a joystick of many buttons.
#include <gtest/gtest.h>

#include "menus/controls.h"
#include "support/test_support.h"
#include "support/virtual_joystick.h"
#include "world/players.h"

// SDL keeps button numbers in 8 bits: a held button 256 reaches it as button 0,
// toggled at every pump once the joystick is open, which kept the prompts' event
// drain from ever ending. Now the fire prompt takes what SDL reports: button 0.
TEST(ControlsButtons, ReturnStillAnswersWithButton256Held) {
    ASSERT_GE(attachVirtualJoystick(300), 0) << "no virtual joysticks";
    startSdl();
    useManualClock();
    game.playerCount = 1;
    createPlayers();
    setVirtualButton(0, 256, true);
    // Down and Return choose the joystick; Escape, if a prompt were still waiting.
    const auto nothing = []() {};
    runScriptOnSleeps({[]() { pushKeyDown(SDLK_DOWN); }, []() { pushKeyDown(SDLK_RETURN); },
                       nothing, nothing, nothing},
                      []() { pushKeyDown(SDLK_ESCAPE); });
    EXPECT_EQ(controlsPrompt(), 0);
    EXPECT_EQ(game.players[0].usesJoystick, 1);
    EXPECT_EQ(game.players[0].fireButton, 0);
}
