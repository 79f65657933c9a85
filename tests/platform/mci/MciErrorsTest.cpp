#include "platform/mci/MciErrors.h"
#include "platform/mci/ServiceFactory.h"

#include <gtest/gtest.h>

using namespace kb::mci;

TEST(MciErrors, EveryNamedCodeHasItsTextExceptNoIdentity)
{
    const uint32_t codes[] = {257, 259, 261, 262, 263, 264, 265, 266, 267, 268, 269, 270, 272, 273,
                              274, 275, 276, 277, 279, 280, 281, 282, 284, 287, 289, 290, 291, 292,
                              293, 294, 295, 296, 299, 300, 301, 302, 305, 306, 312, 326, 343, 346,
                              347, 348};
    for (uint32_t code : codes)
        EXPECT_FALSE(errorText(code).empty()) << code;
    EXPECT_EQ(errorText(MCIERR_INVALID_DEVICE_NAME), "The specified device is not open or is not recognized by MCI.");
    EXPECT_EQ(errorText(MCIERR_CANNOT_USE_ALL), "Cannot use 'all' as the device name with the specified command.");

    auto service = makeMciService({}, nullptr, nullptr);
    std::string text = "stale";
    EXPECT_FALSE(service->getErrorString(MCIERR_NO_IDENTITY, text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(service->getErrorString(9999, text));
    EXPECT_TRUE(service->getErrorString(MCIERR_OUTOFRANGE, text));
    EXPECT_EQ(text, "The specified parameter is out of range for the specified command.");
}
