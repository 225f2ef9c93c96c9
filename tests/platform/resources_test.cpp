#include "platform/resources.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

using namespace platform;

TEST(Resources, FoundByNameAndTypeWithoutRegardToCase) {
    for (const char* name : {"HELLO.TXT", "hello.txt", "Hello.Txt"}) {
        ResourceHandle h = findResource(name, "RT_RCDATA");
        ASSERT_NE(h, nullptr) << name;
        std::string text(reinterpret_cast<const char*>(lockResource(h)), sizeofResource(h));
        EXPECT_EQ(text, "Tinselwave test resource\n");
    }
    EXPECT_NE(findResource("hello.txt", "rt_rcdata"), nullptr);
}

TEST(Resources, MissingNamesAndTypesFindNothing) {
    EXPECT_EQ(findResource("hello.tx", "RT_RCDATA"), nullptr);
    EXPECT_EQ(findResource("hello.txt2", "RT_RCDATA"), nullptr);
    EXPECT_EQ(findResource("hello.txt", "RT_GROUP_ICON"), nullptr);
    EXPECT_EQ(findResource(nullptr, "RT_RCDATA"), nullptr);
    EXPECT_EQ(lockResource(nullptr), nullptr);
    EXPECT_EQ(sizeofResource(nullptr), 0u);
}

TEST(Resources, SizeIsFoundFromTheLockedPointer) {
    ResourceHandle h = findResource("hello.txt", "RT_RCDATA");
    ASSERT_NE(h, nullptr);
    const unsigned char* data = lockResource(h);
    EXPECT_EQ(resourceSizeAt(data), sizeofResource(h));
    EXPECT_EQ(resourceSizeAt(data + 1), 0u);
    EXPECT_EQ(resourceSizeAt(nullptr), 0u);
}
