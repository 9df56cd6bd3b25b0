#include "platform/qt/portoptions.h"

#include <gtest/gtest.h>

namespace softswitch {
namespace {

TEST(PortOptions, ComAndLptPathsAreTakenTheRestIsLeftAndMalformedValuesRefused)
{
    PortOptions options;
    std::string why;
    ASSERT_TRUE(parsePortOptions({"--com", "3=/tmp/pty3", "run.txt", "--com", "16=/dev/x", "--lpt", "/tmp/fifo"},
                                 options, why));
    EXPECT_EQ(options.comPaths, (std::map<int, std::string>{{3, "/tmp/pty3"}, {16, "/dev/x"}}));
    EXPECT_EQ(options.lptPath, "/tmp/fifo");
    EXPECT_EQ(options.rest, (std::vector<std::string>{"run.txt"}));
    PortOptions defaults;
    ASSERT_TRUE(parsePortOptions({"-"}, defaults, why));
    EXPECT_EQ(defaults.lptPath, "/dev/lp0");
    EXPECT_TRUE(defaults.comPaths.empty());

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--com"}, {"--com", "3"}, {"--com", "x=/dev/a"}, {"--com", "0=/dev/a"}, {"--com", "17=/dev/a"},
             {"--com", "3="}, {"--com", "3a=/dev/a"}, {"--lpt"}}) {
        why.clear();
        EXPECT_FALSE(parsePortOptions(args, options, why)) << args.back();
        EXPECT_FALSE(why.empty());
    }
}

} // namespace
} // namespace softswitch
