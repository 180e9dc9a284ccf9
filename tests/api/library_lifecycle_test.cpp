// The description lives exactly as long as the library: loading starts it empty, unloading
// destroys it, and loading again starts afresh.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

using CountFunction = int32_t (*)();
using AddCommandFunction = int32_t (*)(const char*);

class LoadedLibrary {
  public:
    LoadedLibrary() : handle_(dlopen(KORVANE_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedLibrary() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    bool loaded() const { return handle_ != nullptr; }
    template <typename Function>
    Function Find(const char* name) const {
        return reinterpret_cast<Function>(dlsym(handle_, name));
    }

  private:
    void* handle_;
};

bool IsLoaded() {
    void* handle = dlopen(KORVANE_LIBRARY_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

TEST(LibraryLifecycle, UnloadingDestroysTheDescriptionAndReloadingStartsEmpty) {
    {
        LoadedLibrary library;
        ASSERT_TRUE(library.loaded()) << dlerror();
        auto add = library.Find<AddCommandFunction>("SetPreExecute");
        auto count = library.Find<CountFunction>("GetPreExecuteCount");
        ASSERT_NE(add, nullptr);
        ASSERT_NE(count, nullptr);
        EXPECT_EQ(count(), 0);
        EXPECT_EQ(add("first"), 1);
        EXPECT_EQ(add("second"), 2);
    }
    ASSERT_FALSE(IsLoaded()) << "the library could not be unloaded";

    LoadedLibrary again;
    ASSERT_TRUE(again.loaded()) << dlerror();
    EXPECT_EQ(again.Find<CountFunction>("GetPreExecuteCount")(), 0);
}

}  // namespace
