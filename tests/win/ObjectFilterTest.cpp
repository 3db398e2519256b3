#include <gtest/gtest.h>
#include <ole2.h>

#include <string>

#include "forms/ObjectFilter.h"

namespace tav {
namespace {

// An object's storage as a note file's reader hands it over: in memory,
// with its class and, for a linked object, the link flag.
class ObjectStorage {
public:
    ObjectStorage(const CLSID& clsid, bool linked) {
        ILockBytes* bytes = nullptr;
        EXPECT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes));
        EXPECT_EQ(S_OK, StgCreateDocfileOnILockBytes(
                            bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, &storage_));
        bytes->Release();
        WriteClassStg(storage_, clsid);
        IStream* ole = nullptr;
        EXPECT_EQ(S_OK, storage_->CreateStream(L"\1Ole", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE,
                                               0, 0, &ole));
        const DWORD header[5] = {0x02000001, linked ? 1u : 0u, 0, 0, 0};
        ole->Write(header, sizeof header, nullptr);
        ole->Release();
    }
    ~ObjectStorage() { storage_->Release(); }
    IStorage* get() const { return storage_; }

private:
    IStorage* storage_ = nullptr;
};

// A class of this test's own that the insert-object dialog offers, as the
// registry marks such classes, for the user only.
constexpr CLSID kOffered = {0x7A3F0C21, 0x5B2E, 0x4C1D, {0x9E, 0x11, 0x2A, 0x64, 0x0F, 0x3B, 0x7C, 0x55}};
constexpr wchar_t kOfferedKey[] =
    L"Software\\Classes\\CLSID\\{7A3F0C21-5B2E-4C1D-9E11-2A640F3B7C55}";

class ObjectFilter : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER,
                                                 (std::wstring(kOfferedKey) + L"\\Insertable").c_str(),
                                                 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, kOfferedKey, nullptr, REG_SZ,
                                                 L"Testtabelle", sizeof L"Testtabelle"));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kOfferedKey); }
};

TEST_F(ObjectFilter, OnlyPicturesAndEmbeddedObjectsOfOfferedClassesAreRead) {
    {
        ObjectStorage picture(CLSID_StaticDib, false);
        EXPECT_EQ(std::nullopt, refusedObject(CLSID_StaticDib, picture.get()));
        ObjectStorage offered(kOffered, false);
        EXPECT_EQ(std::nullopt, refusedObject(kOffered, offered.get()));
    }
    const CLSID package = {0x0003000C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    ObjectStorage packaged(package, false);
    EXPECT_TRUE(refusedObject(package, packaged.get()));

    const CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    ObjectStorage stranger(unknown, false);
    EXPECT_EQ("{12345678-1234-1234-0102-030405060708}", refusedObject(unknown, stranger.get()));

    // A link reaches out to its source (\\127.0.0.1\x, say) whatever its class.
    ObjectStorage linked(kOffered, true);
    EXPECT_EQ("Testtabelle (verknüpft)", refusedObject(kOffered, linked.get()));
}

}  // namespace
}  // namespace tav
