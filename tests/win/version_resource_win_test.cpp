// What Explorer's Properties page, Task Manager and the shell read from the two binaries built
// beside the tests: their version resources and the program's icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/application_win.h"
#include "resources/resource.h"

namespace kalverin {
namespace {

std::wstring besideTests(const wchar_t* name) {
    std::vector<wchar_t> path(32768);
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring dir(path.data(), length);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1) + name;
}

std::wstring widened(const char* ascii) {
    return std::wstring(ascii, ascii + std::strlen(ascii));
}

std::vector<BYTE> versionInfo(const std::wstring& file) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::vector<BYTE> info(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, info.data())) info.clear();
    return info;
}

// A string of the block the resource's first translation names, as the shell looks it up;
// "(missing)" when there is none.
std::wstring versionString(std::vector<BYTE>& info, const wchar_t* field) {
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &size) ||
        size < sizeof *translation)
        return L"(no translation)";
    wchar_t path[96];
    swprintf(path, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage,
             field);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(info.data(), path, reinterpret_cast<void**>(&value), &size) || size == 0)
        return L"(missing)";
    return std::wstring(value, wcsnlen(value, size));
}

struct Binary {
    const wchar_t* file;
    const wchar_t* description;
    const wchar_t* internalName;
};

const Binary kBinaries[] = {
    {L"kalverin.exe", L"Kalverin", L"kalverin"},
    {L"kalverin-dde.exe", L"Kalverin DDE client", L"kalverin-dde"},
};

// The version comes from CMake's project(); the other texts are the installer's.
TEST(VersionResource, BothBinariesCarryTheProjectVersionAndTheInstallersNames) {
    const std::wstring version = widened(KALVERIN_PROJECT_VERSION);
    for (const Binary& binary : kBinaries) {
        SCOPED_TRACE(binary.file);
        std::vector<BYTE> info = versionInfo(besideTests(binary.file));
        ASSERT_FALSE(info.empty()) << "no version resource, or the file is not built beside the tests";
        const struct {
            const wchar_t* field;
            std::wstring value;
        } fields[] = {
            {L"ProductName", L"Kalverin"},
            {L"CompanyName", L"The Kalverin developers"},
            {L"LegalCopyright", L"Copyright (c) 2026 the Kalverin developers (MIT License)"},
            {L"FileVersion", version},
            {L"ProductVersion", version},
            {L"FileDescription", binary.description},
            {L"InternalName", binary.internalName},
            {L"OriginalFilename", binary.file},
        };
        for (const auto& f : fields) EXPECT_EQ(versionString(info, f.field), f.value) << f.field;

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
        ASSERT_GE(size, sizeof *fixed);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        const DWORD major = KALVERIN_PROJECT_VERSION_MAJOR, minor = KALVERIN_PROJECT_VERSION_MINOR;
        EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(minor, major));
        EXPECT_EQ(fixed->dwFileVersionLS, 0u);
        EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(minor, major));
        EXPECT_EQ(fixed->dwProductVersionLS, 0u);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    }
}

// The icon group as it lies in the resource (GRPICONDIR and its entries, packed).
#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

class ResourceModule {
public:
    explicit ResourceModule(const std::wstring& file)
        : module_(LoadLibraryExW(file.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ResourceModule() {
        if (module_) FreeLibrary(module_);
    }
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;
    HMODULE get() const { return module_; }
    // The bytes of a resource, or an empty string. Integer types and names (RT_ICON,
    // MAKEINTRESOURCE) are the same values for the A and W calls.
    std::string bytes(LPCWSTR type, LPCWSTR name) const {
        HRSRC found = FindResourceW(module_, name, type);
        HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        return data ? std::string(static_cast<const char*>(data), SizeofResource(module_, found))
                    : std::string();
    }

private:
    HMODULE module_;
};

// Each size the shell asks for (the small and large icons at 100% to 150% scaling, Explorer's
// larger views) has an image of its own, in 32-bit colour; the largest is PNG-compressed.
TEST(ProgramIcon, HoldsSixSizesInThirtyTwoBitColour) {
    ResourceModule program(besideTests(L"kalverin.exe"));
    ASSERT_TRUE(program.get());
    std::string group =
        program.bytes(reinterpret_cast<LPCWSTR>(RT_GROUP_ICON), MAKEINTRESOURCEW(IDI_PROGRAM));
    ASSERT_GE(group.size(), sizeof(GroupIconHeader));
    GroupIconHeader header;
    std::memcpy(&header, group.data(), sizeof header);
    ASSERT_EQ(group.size(), sizeof header + header.count * sizeof(GroupIconEntry));
    std::set<int> sizes;
    for (WORD i = 0; i < header.count; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
        int size = entry.width == 0 ? 256 : entry.width;
        SCOPED_TRACE(size);
        sizes.insert(size);
        EXPECT_EQ(entry.height == 0 ? 256 : entry.height, size);
        EXPECT_EQ(entry.bitCount, 32);
        std::string image = program.bytes(reinterpret_cast<LPCWSTR>(RT_ICON), MAKEINTRESOURCEW(entry.id));
        EXPECT_EQ(image.size(), entry.bytes);
        if (size == 256) {
            EXPECT_EQ(image.substr(0, 8), "\x89PNG\r\n\x1a\n");
        }
        // The image Windows picks for the size is this one, not a neighbour scaled.
        EXPECT_EQ(LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(&group[0]), TRUE, size, size,
                                              LR_DEFAULTCOLOR),
                  entry.id);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 48, 256}));

    // The program's two icons: the title bar and the notification area take the small one.
    const struct {
        int widthMetric, heightMetric;
    } metrics[] = {{SM_CXICON, SM_CYICON}, {SM_CXSMICON, SM_CYSMICON}};
    for (const auto& m : metrics) {
        Icon icon(program.get(), IDI_PROGRAM, m.widthMetric, m.heightMetric);
        ICONINFO info{};
        ASSERT_TRUE(icon.get() && GetIconInfo(icon.get(), &info)) << m.widthMetric;
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        EXPECT_EQ(colour.bmWidth, GetSystemMetrics(m.widthMetric));
        EXPECT_EQ(colour.bmHeight, GetSystemMetrics(m.heightMetric));
    }
}

}  // namespace
}  // namespace kalverin
