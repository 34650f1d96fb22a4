// In-memory stand-ins for the machine and the windows, so that the core's
// behaviour can be checked natively and quickly.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform.h"
#include "view.h"

namespace roamwise::testing {

std::wstring Lower(std::wstring s);

// A file system, a registry and tools that behave like the real ones as far
// as Roamwise can tell.
class FakePlatform : public Platform {
public:
    FakePlatform();

    // --- set-up helpers ---
    void AddDirectory(const std::wstring& path);
    void AddFile(const std::wstring& path, const std::string& content = "", std::uint32_t attributes = 0);
    // Adds without looking for an existing entry: for large directories.
    void AddNewFile(const std::wstring& path) { entries_.push_back({path, "", 0}); }
    bool Exists(const std::wstring& path) const;
    std::uint32_t Attributes(const std::wstring& path) const;  // 0 when missing
    std::string Content(const std::wstring& path) const;
    // Every path written, created, moved or deleted, in order.
    std::vector<std::wstring> touched;

    std::wstring appDir = L"C:\\Roam wise";
    // Long prefix and the short form the system gives for it.
    std::wstring shortAppDir = L"C:\\ROAMWI~1";
    std::wstring ip = L"192.0.2.7";
    OsVersionInfoA version;  // what GetVersionExA reports
    bool versionCallFails = false;
    std::vector<std::uint32_t> versionSizesSeen;
    bool findFails = false;          // FindFiles throws (access denied)
    bool registryReadOnly = false;   // no write rights under the root
    // A directory whose entries cannot be created, written, moved or
    // deleted (access denied), as an application directory without write rights.
    std::wstring lockedDirectory;
    int registryOpens = 0;
    std::vector<std::pair<std::wstring, std::wstring>> starts;  // command line, current directory
    bool startFails = false;

    // What the simulated tools do: exit codes, and the text they produce.
    std::int32_t dumpExitCode = 0;
    std::string dumpText = "# Interface configuration\r\npushd interface ip\r\npopd\r\n";
    std::string partialDump = "";  // written before a failing dump ends
    std::int32_t loadExitCode = 0;
    std::string ipconfigText = "Windows IP Configuration\r\n";
    std::vector<std::wstring> netshScripts;  // paths handed to netsh -f
    // Runs inside the wait, as the window's events would.
    std::function<void()> duringWait;

    // Registry contents: key path (lower case) -> value name (lower case) -> (type, bytes).
    struct Value {
        std::uint32_t type = 0;
        std::string bytes;
    };
    std::map<std::string, std::map<std::string, Value>> registry;
    void SetRegistryValue(const std::string& key, const std::string& name, std::uint32_t type, const std::string& bytes);
    bool HasKey(const std::string& key) const;
    const Value* RegistryValue(const std::string& key, const std::string& name) const;

    // --- Platform ---
    std::wstring ApplicationDirectory() override { return appDir; }
    std::wstring SystemDirectory() override { return L"C:\\windows\\system32"; }
    std::vector<DirEntry> FindFiles(const std::wstring& pattern) override;
    void DeleteFile(const std::wstring& path) override;
    void MoveFile(const std::wstring& from, const std::wstring& to) override;
    void SetReadOnly(const std::wstring& path, bool readOnly) override;
    void CreateDirectory(const std::wstring& path) override;
    void WriteFile(const std::wstring& path, const std::string& bytes) override;
    std::string ReadFile(const std::wstring& path) override;
    std::uint32_t GetShortPathNameA(const std::string& longPath, char* buffer, std::uint32_t bufferLength) override;
    long RegOpenKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                       RegKey* key) override;
    long RegQueryValueExA(RegKey key, const std::string& valueName, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* dataLength) override;
    long RegCreateKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                         RegKey* key) override;
    long RegSetValueExA(RegKey key, const std::string& valueName, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t dataLength) override;
    long RegCloseKey(RegKey key) override;
    Process StartHidden(const std::wstring& commandLine, const std::wstring& currentDirectory) override;
    std::uint32_t WaitForExit(Process process) override;
    std::wstring LocalIP() override { return ip; }
    bool GetVersionExA(OsVersionInfoA& info) override;
    bool ToAnsi(const std::wstring& text, std::string& ansi) override;
    std::wstring FromAnsi(const std::string& ansi) override;
    std::wstring ErrorText(long code) override;

    int openKeys = 0;  // handles not yet closed

private:
    struct Entry {
        std::wstring path;  // as created
        std::string content;
        std::uint32_t attributes = 0;
    };
    std::wstring Resolve(const std::wstring& path) const;  // short form -> long form
    std::wstring Parent(const std::wstring& path) const;
    void RefuseIfLocked(const std::wstring& path);
    std::vector<Entry> entries_;  // in creation order, which is the search order
    Entry* Find(const std::wstring& path);
    const Entry* Find(const std::wstring& path) const;
    std::map<RegKey, std::string> handles_;
    RegKey nextHandle_ = 100;
    std::vector<std::wstring> running_;  // command lines by process handle - 1
    std::uint32_t RunTool(const std::wstring& commandLine);
};

// The windows: records what they were told, answers message boxes from a
// queue.
class FakeView : public View {
public:
    struct Message {
        std::wstring text;
        std::wstring title;
        Buttons buttons;
    };
    std::vector<Message> messages;
    std::vector<Answer> answers;  // taken in order; Yes/Ok when empty
    std::function<void()> onMessage;  // runs while a box is open
    std::vector<std::wstring> events;  // status texts, pointer changes, list refills, in order

    std::vector<std::wstring> items;  // in the order added
    int selected = -1;
    std::wstring name;  // Text1
    std::wstring nameTip, listTip;
    std::wstring status;
    bool busyPointer = false;
    int beeps = 0;

    Rect mainRect{0, 0, 4200, 5000};
    Rect viewerRect{0, 0, 4500, 3300};
    std::vector<Rect> workAreas{{0, 0, 15360, 11520}};  // 1024 x 768 pixels
    bool viewerCreated = false;
    bool viewerShown = false;
    int viewerCreations = 0;
    std::wstring viewerText;
    Size viewerClient{4215, 2760};
    Size textSize{3975, 2535};

    Answer ShowMessage(const std::wstring& text, const std::wstring& title, Buttons buttons) override;
    void Beep() override { ++beeps; }
    void ListClear() override;
    void ListAdd(const std::wstring& item) override { items.push_back(item); }
    std::wstring ListText() override { return selected >= 0 && selected < static_cast<int>(items.size()) ? items[selected] : L""; }
    void SetListTooltip(const std::wstring& text) override { listTip = text; }
    std::wstring NameText() override { return name; }
    void SetNameTooltip(const std::wstring& text) override { nameTip = text; }
    void SetStatus(const std::wstring& text) override;
    void SetBusyPointer(bool busy) override;
    Rect WindowRect(WindowId window) override { return window == WindowId::Main ? mainRect : viewerRect; }
    void MoveWindow(WindowId window, long left, long top) override;
    std::vector<Rect> WorkAreas() override { return workAreas; }
    void CreateViewer() override;
    void DestroyViewer() override;
    void ShowViewer() override { viewerShown = true; }
    void SetViewerText(const std::wstring& text) override { viewerText = text; }
    Size ViewerClientSize() override { return viewerClient; }
    void SizeViewerText(Size size) override { textSize = size; }

    void Select(const std::wstring& item);
};

}  // namespace roamwise::testing
