#include "tools/render_cli/overwrite_guard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/render_cli/folder_fixture.h"

namespace {

namespace fs = std::filesystem;

class OverwriteGuard : public FolderTest {
protected:
    OverwriteGuard() : FolderTest("guard") {
        std::ofstream(path("in.png")) << "input";
        std::ofstream(path("old.png")) << "old";
    }
};

TEST_F(OverwriteGuard, NewFilesMayBeWritten) {
    EXPECT_EQ(refuseOverwrites({path("in.png")}, {path("new.png"), path("panel.png")}, false), "");
}

TEST_F(OverwriteGuard, AnInputIsNeverWrittenOverUnderAnySpelling) {
    fs::create_hard_link(path("in.png"), path("link.png"));
    fs::create_symlink(path("in.png"), path("symlink.png"));
    const std::string other = (folder / ".." / folder.filename() / "in.png").string();
    for (const std::string& output : {path("in.png"), other, path("link.png"), path("symlink.png")}) {
        EXPECT_EQ(refuseOverwrites({path("in.png")}, {output}, true),
                  "\"" + output + "\" is an input of this render: it is never written over");
    }
}

TEST_F(OverwriteGuard, AnExistingFileOnlyWithOverwrite) {
    EXPECT_EQ(refuseOverwrites({}, {path("old.png")}, false),
              "\"" + path("old.png") + "\" exists: give --overwrite to replace it");
    EXPECT_EQ(refuseOverwrites({}, {path("old.png")}, true), "");
}

TEST_F(OverwriteGuard, OneFileIsNotTwoOutputs) {
    const std::string other = (folder / "." / "new.png").string();
    EXPECT_EQ(refuseOverwrites({}, {path("new.png"), other}, false),
              "\"" + other + "\" is named as more than one output");
}

}  // namespace
