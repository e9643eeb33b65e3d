#include "app/texts.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "text_printer.h"

namespace {

TEST(Texts, ExactWindows1252Bytes) {
    ProgramName = "Tarvolin";
    ProgramVersion = "1.0.0";
    EXPECT_EQ(DisplayTitle(), "Tarvolin 1.0.0");
    EXPECT_EQ(MissingProgramFileText(),
              "Die Programmdatei ''Tarvolin.exe'' konnte im Programmverzeichnis nicht gefunden werden.\x0D"
              "Um das Problem beheben zu k\xF6nnen, instalieren Sie diese Anwendung neu.");

    // Title line and four notice lines, each introduced by CR alone.
    std::string info = InformationText().c_str();
    EXPECT_EQ(info.rfind("Tarvolin 1.0.0\r", 0), 0u);
    EXPECT_EQ(info.find('\n'), std::string::npos);
    EXPECT_EQ(std::count(info.begin(), info.end(), '\r'), 4);
    EXPECT_NE(info.find("2012"), std::string::npos);
    EXPECT_NE(info.find("Alle Rechte vorbehalten."), std::string::npos);
    EXPECT_NE(info.find('@'), std::string::npos);
}

}  // namespace
