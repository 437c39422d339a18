// Loading codec modules at run time: all names or nothing, retry after a failed load.
#include <gtest/gtest.h>

#include <unistd.h>

#include "Mp3TestSupport.h"

using namespace mp3test;

namespace {

std::vector<std::string> Names(const auto& list) {
    return {std::begin(list), std::end(list)};
}

} // namespace

TEST(CodecModule, AModuleLackingAnEntryPointStaysUnusable) {
    ScratchDir dir;
    const std::string incomplete = BMC_TEST_MODULE_DIR "/incomplete/";
    CodecModule module(Mp3EncoderModuleFile, Names(Mp3EncoderEntryPoints), {dir.Path()});
    std::filesystem::copy_file(incomplete + Mp3EncoderModuleFile, dir / Mp3EncoderModuleFile);
    EXPECT_FALSE(module.Load());
    EXPECT_EQ(module.Get("beInitStream"), nullptr);
    // Even with a complete module in its place it is not loaded again.
    std::filesystem::remove(dir / Mp3EncoderModuleFile);
    std::filesystem::copy_file(std::string(BMC_CODEC_DIR) + "/" + Mp3EncoderModuleFile,
                               dir / Mp3EncoderModuleFile);
    EXPECT_FALSE(module.Load());
    EXPECT_EQ(module.Get("beInitStream"), nullptr);
}

TEST(CodecModule, AModuleInstalledAfterAFailedLoadIsUsedNextTime) {
    ScratchDir dir;
    CodecModule module(Mp3DecoderModuleFile, Names(Mp3DecoderEntryPoints), {dir.Path()});
    EXPECT_FALSE(module.Load());
    EXPECT_FALSE(module.Load());
    std::filesystem::copy_file(std::string(BMC_CODEC_DIR) + "/" + Mp3DecoderModuleFile,
                               dir / Mp3DecoderModuleFile);
    ASSERT_TRUE(module.Load());
    for (const char* name : Mp3DecoderEntryPoints)
        EXPECT_NE(module.Get(name), nullptr) << name;
    EXPECT_EQ(module.Get("no_such_entry_point"), nullptr);
    // A loaded module is never unloaded: its file may go, its entry points stay.
    std::filesystem::remove(dir / Mp3DecoderModuleFile);
    EXPECT_TRUE(module.Load());
    auto* create = module.Get<decoder_new_fn>("decoder_new");
    auto* destroy = module.Get<decoder_delete_fn>("decoder_delete");
    Mp3Decoder* decoder = nullptr;
    ASSERT_EQ(create(&decoder), 0);
    EXPECT_EQ(destroy(decoder), 0);
}

TEST(CodecModule, LooksBesideTheProgramAndInTheInstalledLayout) {
    const auto folders = CodecModules::InstalledFolders();
    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    const std::string app = std::filesystem::path(exe).parent_path().string() + "/";
    EXPECT_EQ(folders,
              (std::vector<std::string>{app + "codecs/", app + "../lib/brindlex/codecs/"}));
    // Each set of modules loads from its own folders, the same module file once.
    CodecModules somewhere({"/somewhere/"});
    EXPECT_EQ(somewhere.Folders(), std::vector<std::string>{"/somewhere/"});
    CodecModules built({std::string(BMC_CODEC_DIR) + "/"});
    CodecModule& decoder = built.Module(Mp3DecoderModuleFile, Mp3DecoderEntryPoints);
    EXPECT_EQ(&built.Module(Mp3DecoderModuleFile, Mp3DecoderEntryPoints), &decoder);
    EXPECT_TRUE(decoder.Load());
    EXPECT_FALSE(somewhere.Module(Mp3DecoderModuleFile, Mp3DecoderEntryPoints).Load());
}
