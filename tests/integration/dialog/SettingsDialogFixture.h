// A dock host with the real plug-in, a message-box answerer, and helpers for
// driving the settings dialog while the host waits in HandleConfigure.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "DialogDriver.h"
#include "DialogWindows.h"
#include "DockHost.h"
#include "MessageBoxAnswerer.h"
#include "TestPictures.h"
#include "support/TestFolders.h"

namespace korimbo::test {

inline constexpr uint32_t kGreen = 0xFF10C020;  // test custom icons
inline constexpr uint32_t kRed = 0xFFE01010;    // plain default icon
inline constexpr COLORREF kGreenRgb = 0x10C020;
inline constexpr COLORREF kRedRgb = 0xE01010;

class SettingsDialogFixture : public testing::Test {
protected:
    void SetUp() override {
        StagePluginInto(base_.Path());
        dockhost::DockHostOptions options;
        options.pluginPath = AssetFile(L"Korimbo.dll");
        host_ = std::make_unique<dockhost::DockHost>(options);
        answerer_ = std::make_unique<dockhost::MessageBoxAnswerer>(host_->Log());
    }
    void TearDown() override {
        host_->Unload();
        answerer_.reset();
        host_.reset();
    }

    std::wstring AssetFile(const std::wstring& name) const { return base_.Path() + L"Korimbo\\" + name; }
    std::wstring Stored(uint32_t id, const std::string& key) const {
        return host_->Settings().Get(id, key).value_or(L"<none>");
    }
    void Store(uint32_t id, const std::string& key, const std::wstring& value) {
        host_->Settings().Set(id, key, value);
    }
    // The default icon becomes one plain colour, so that previews can be told apart.
    void UsePlainDefaultIcon() { WriteSolidPng(AssetFile(L"default.png"), 40, 40, kRed); }
    std::wstring GreenPicture(const std::wstring& name) {
        const std::wstring path = base_.File(name);
        WriteSolidPng(path, 60, 30, kGreen);
        return path;
    }

    void LoadAndCreate(std::initializer_list<uint32_t> ids) {
        host_->Load();
        ASSERT_TRUE(host_->InitializeResult());
        for (uint32_t id : ids) ASSERT_TRUE(host_->Create(id));
    }

    // Configures the docklet while the driver works the dialog; the host's
    // answer must be true and every step must have run.
    void Configure(uint32_t id, DialogDriver& driver) {
        bool answer = false;
        driver.RunDuring([&] { answer = host_->Configure(id); });
        EXPECT_TRUE(answer);
        EXPECT_TRUE(driver.AllStepsDone()) << driver.Problem();
    }

    // Steps shared by most tests.
    DialogDriver::Step FormAppears() {
        return [this] {
            form_ = VisibleSettingsForm();
            return form_ != nullptr;
        };
    }
    DialogDriver::Step Press(const wchar_t* buttonText) {
        return [this, buttonText] {
            HWND button = Button(buttonText);
            if (!button) throw std::runtime_error("no such button");
            PostClick(button);
            return true;
        };
    }

    // Steps that open the icon file dialog with Change, type `name` into its
    // file name field, confirm, and wait for it to close.
    void ChooseWithChange(DialogDriver& driver, const std::wstring& name) {
        driver.Then(Press(L"Change"))
            .Then([this, name] {
                HWND fileDialog = VisibleDialogOwnedBy(form_);
                if (!fileDialog) return false;
                HWND field = FileNameField(fileDialog);
                if (!field) throw std::runtime_error("the file dialog has no file name field");
                ::SetWindowTextW(field, name.c_str());
                ::PostMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return true;
            })
            .Then([this] { return VisibleDialogOwnedBy(form_) == nullptr; });
    }
    // The file name field of the system's file dialog (a combo box in the
    // Explorer style, an edit box in older ones).
    static HWND FileNameField(HWND fileDialog) {
        constexpr int kCmb13 = 0x47C, kEdt1 = 0x480;
        HWND field = ::GetDlgItem(fileDialog, kCmb13);
        return field ? field : ::GetDlgItem(fileDialog, kEdt1);
    }

    HWND Button(const std::wstring& text) const { return ChildByText(form_, L"Button", text); }
    HWND Picture(const std::wstring& name) const { return ChildByText(form_, L"KorimboPictureBox", name); }
    HWND CaptionEdit() const { return ChildByClass(form_, L"Edit"); }
    HWND CustomIconItem() const { return Button(L"C&ustom Icon"); }
    HWND WallpaperItem() const { return Button(L"Current &Wallpaper"); }
    HWND OverlayBox() const { return Button(L"Apply d&ummy dock and taskbar overlays"); }

    // Log lines added since `from`.
    std::vector<std::string> LogSince(size_t from) const {
        const auto& lines = host_->Log().Lines();
        return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())), lines.end()};
    }
    static size_t CountStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
        size_t count = 0;
        for (const std::string& line : lines)
            if (line.rfind(prefix, 0) == 0) ++count;
        return count;
    }

    TempFolder base_;
    std::unique_ptr<dockhost::DockHost> host_;
    std::unique_ptr<dockhost::MessageBoxAnswerer> answerer_;
    HWND form_ = nullptr;
};

}  // namespace korimbo::test
