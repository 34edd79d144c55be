#include "richtext/RtfReader.h"

#include <gtest/gtest.h>

namespace lumenreel {
namespace {

TEST(RtfReader, ReadsTheRichEditSample) {
    RichDocument doc = readRtf(
        R"({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fnil\fcharset2 Symbol;}}{\colortbl ;\red255\green0\blue0;}\viewkind4\uc1\pard\f0\fs20 Click \b Save\b0 , then \cf1\i close\cf0\i0 .\par})");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.plainText(), "Click Save, then close.");
}

}  // namespace
}  // namespace lumenreel
