#include "tools/render_cli/effect_messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

PF_OutData withMessage(const char* text, bool displayError) {
    PF_OutData out{};
    std::strncpy(out.return_msg, text, sizeof out.return_msg - 1);
    out.out_flags = 0x4 | (displayError ? PF_OutFlag_DISPLAY_ERROR_MESSAGE : 0);
    return out;
}

TEST(EffectMessages, ErrorsWhereTheEffectAsksForOneElseWarnings) {
    EffectMessages messages;
    PF_OutData warning = withMessage("\n\nLimit warning.\n\nAt most 4 pixels.", false);
    PF_OutData error = withMessage("Internal Error", true);
    messages.collect(warning);
    messages.collect(error);
    EXPECT_EQ(messages.lines(), (std::vector<std::string>{"warning from the effect: Limit warning. At most 4 pixels.",
                                                          "error from the effect: Internal Error"}));
    // The host has read them: the buffer is empty and the flag clear, the rest kept.
    EXPECT_EQ(error.return_msg[0], '\0');
    EXPECT_EQ(error.out_flags, 0x4);
}

TEST(EffectMessages, ARepeatedMessageIsShownOnce) {
    EffectMessages messages;
    for (int frame = 0; frame < 3; ++frame) {
        PF_OutData out = withMessage("Limit warning.", false);
        messages.collect(out);
    }
    PF_OutData empty{};
    messages.collect(empty);
    EXPECT_EQ(messages.lines().size(), 1u);
}

TEST(EffectMessages, PrintsEachLineOnceWithTheProgramsName) {
    EffectMessages messages;
    PF_OutData out = withMessage("Internal Error", true);
    messages.collect(out);
    std::FILE* sink = std::tmpfile();
    messages.print(sink, "tool");
    messages.print(sink, "tool");
    std::rewind(sink);
    char text[128] = {};
    const size_t read = std::fread(text, 1, sizeof text - 1, sink);
    std::fclose(sink);
    EXPECT_EQ(std::string(text, read), "tool: error from the effect: Internal Error\n");
}

TEST(OneLine, JoinsLinesWithSingleSpaces) {
    EXPECT_EQ(oneLine("\n\n<< A >> b.\n\nC d.\n"), "<< A >> b. C d.");
    EXPECT_EQ(oneLine(""), "");
}

}  // namespace
