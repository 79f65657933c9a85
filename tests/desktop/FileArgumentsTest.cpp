#include "desktop/FileArguments.h"

#include <gtest/gtest.h>

using kb::desktop::localFiles;
using kb::desktop::localPath;
using kb::desktop::modeForFile;

TEST(FileArguments, PathsAndFileUrisBecomeAbsolutePathsAndTheRestIsLeftOut)
{
    EXPECT_EQ(localPath("music/a.wav", "/home/u"), "/home/u/music/a.wav");
    EXPECT_EQ(localPath("../x/./b.mid", "/home/u/d"), "/home/u/x/b.mid");
    EXPECT_EQ(localPath("/abs/c.mp3", "/home/u"), "/abs/c.mp3");
    // Spaces, non-ASCII names and "#" arrive percent-encoded in URIs.
    EXPECT_EQ(localPath("file:///m/%E6%9B%B2%20one%23.wav", "/"), QString::fromUtf8("/m/曲 one#.wav"));
    EXPECT_EQ(localPath("file://localhost/m/a.wav", "/"), "/m/a.wav");
    EXPECT_EQ(localPath("file://otherhost/m/a.wav", "/"), "");
    EXPECT_EQ(localPath("http://host/a.wav", "/"), "");
    EXPECT_EQ(localPath("smb://host/a.wav", "/"), "");
    EXPECT_EQ(localPath("-platform", "/"), "");
    EXPECT_EQ(localPath("", "/"), "");

    EXPECT_EQ(localFiles({"a.wav", "--option", "file:///b.mid", "ftp://x/y.mp3"}, "/d"),
              (QStringList{"/d/a.wav", "/b.mid"}));
}

TEST(FileArguments, EachTypeGoesToTheModeThatListsIt)
{
    EXPECT_EQ(modeForFile("/m/TRACK01.WAV"), "WAVE");
    EXPECT_EQ(modeForFile("/m/song.midi"), "MIDI");
    EXPECT_EQ(modeForFile("/m/song.rmi"), "MIDI");
    EXPECT_EQ(modeForFile("/m/song.Mp3"), "MP3");
    EXPECT_EQ(modeForFile("/m/list.m3u"), "MP3");
    EXPECT_EQ(modeForFile("/m/clip.mp2v"), "VIDEO");
    EXPECT_EQ(modeForFile("/m/clip.avi"), "VIDEO");
    EXPECT_EQ(modeForFile("/m/album.cue"), "CD");
    EXPECT_EQ(modeForFile("/m/album.toc"), "CD");
    EXPECT_EQ(modeForFile("/m/notes.txt"), "");
    EXPECT_EQ(modeForFile("/m/wav"), "");
    EXPECT_EQ(modeForFile("/m.wav/noext"), "");
}
