// The window during long work: a "Clear Cache" of thousands of files and a
// stop of a stand-in "Messenger" service that hangs. The window is disabled
// but answers and repaints, and an end of the session during the work is
// answered at once and saves the options. Neither the tray menu nor a close
// runs inside the work.
#include <cstddef>
#include <string>

#include "fixture.h"
#include "tools/test_service.h"

namespace quellnet::e2e {
namespace {

using app::kIdChkmess;
using app::kIdCommand1;

// Below the cleaners' scratch folder, the only place a test lets them delete.
const std::wstring kCache = L"C:\\CleanerTests\\LongWork\\Temporary Internet Files";
// Far less than the work takes (the hung stop alone lasts 8 s), and more than
// a message waits on a busy machine; a window that answers only after the
// work fails.
constexpr UINT kAnswerWithinMs = 3000;

class LongWorkTest : public QuellnetTest {
 protected:
  // Starts long work with "Run at Startup" on, then forgets the stored
  // options, so that only a save during the work can bring them back. With
  // `stop_ms` 0 the work is a "Clear Cache" of enough files that it takes
  // seconds under Wine, 5,051 entries in all; else it is a stop of the
  // service that hangs for `stop_ms`.
  void StartLongWork(DWORD stop_ms) {
    for (int folder = 0; stop_ms == 0 && folder < 50; ++folder) {
      const std::wstring path = kCache + L"\\Content.IE5\\F" + std::to_wstring(folder);
      ASSERT_TRUE(MakeFolders(path));
      for (int file = 0; file < 100; ++file) {
        ASSERT_TRUE(WriteTextFile(path + L"\\item" + std::to_wstring(file) + L".htm", "cached"));
      }
    }
    ASSERT_TRUE(stop_ms == 0 ||
                (tools::InstallTestService(stop_ms) == 0 && tools::StartTestService()));
    ASSERT_NO_FATAL_FAILURE(StartProgram(
        {.presets = {{kOptionsKey, L"StartUp", L"1"}, {kShellFolders, L"Cache", kCache}}}));
    ResetProgramState();
    // The clean on the "Internet Options" page, or the switch.
    ASSERT_TRUE(stop_ms > 0 ? Click(Control(kIdChkmess))
                            : program_.SelectPage(2) && Click(Control(kIdCommand1)));
  }

  // The window's answer to `message`, or -1 when it did not come in time.
  LRESULT Answer(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return static_cast<LRESULT>(
        Send(Main(), message, wparam, lparam, static_cast<DWORD_PTR>(-1), kAnswerWithinMs));
  }

  // While the work runs: the window takes no input but answers, repaints,
  // and ends the session at once with the options saved; then the program
  // ends by itself.
  void ExpectAliveThenEndSession() {
    // A message box disables the window too, but only once the work is over.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Main()); }));
    ASSERT_FALSE(program_.WaitForMessageBox(Millis{0}).has_value())
        << "the window was not disabled during the work";
    EXPECT_EQ(Answer(WM_NULL), 0) << "the window did not answer during the work";
    ASSERT_TRUE(InvalidateRect(Main(), nullptr, FALSE));
    EXPECT_TRUE(
        WaitUntil([&] { return !GetUpdateRect(Main(), nullptr, FALSE); }, Millis{kAnswerWithinMs}))
        << "the window did not repaint during the work";

    EXPECT_GT(Answer(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0) << "the session end was refused";
    // Refused by another program, the session goes on, and so does the program.
    EXPECT_EQ(Answer(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF), 0);
    EXPECT_FALSE(ReadUserString(kOptionsKey, L"StartUp").has_value()) << "saved, not ending";
    EXPECT_EQ(Answer(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF), 0);
    // Saved before the answer: Windows may end the process right after it.
    EXPECT_EQ(ReadUserString(kOptionsKey, L"StartUp"), L"1");
    EXPECT_TRUE(ReadUserString(kRunKey, kRunValueName).has_value());
    EXPECT_TRUE(program_.WaitForExit()) << "the program did not end after the session end";
  }
};

TEST_F(LongWorkTest, DuringALongCleanTheWindowAnswersAndASessionEndStopsTheClean) {
  ASSERT_NO_FATAL_FAILURE(StartLongWork(0));

  ASSERT_NO_FATAL_FAILURE(ExpectAliveThenEndSession());
  // The clean stopped part-way, and told nobody: some of the 5,051 entries
  // went, the others stayed.
  const std::size_t left = Contents(kCache).size();
  EXPECT_GT(left, 0u);
  EXPECT_LT(left, 5051u);
}

// The pointer is the hourglass during the work, also over the web address,
// which shows the hand once the work is done; the other controls keep the
// window's own. The protections the program asks for at its start hold
// there too.
TEST_F(LongWorkTest, ThePointerWaitsDuringTheWorkAndIsAHandOverTheLinkAfterIt) {
  ASSERT_NO_FATAL_FAILURE(StartLongWork(0));
  const UniqueKernelHandle pointers[] = {
      UniqueKernelHandle(CreateEventW(nullptr, TRUE, FALSE, L"QuellnetTestPointerHand")),
      UniqueKernelHandle(CreateEventW(nullptr, TRUE, FALSE, L"QuellnetTestPointerWait")),
      UniqueKernelHandle(CreateEventW(nullptr, TRUE, FALSE, L"QuellnetTestPointerOther"))};
  const HANDLE events[] = {pointers[0].Get(), pointers[1].Get(), pointers[2].Get()};
  // A library beside the program, which its search by name alone must not
  // find: the protections asked for at the start hold for every run.
  const UniqueKernelHandle unprotected(
      CreateEventW(nullptr, TRUE, FALSE, L"QuellnetTestUnprotected"));
  ASSERT_TRUE(events[0] && events[1] && events[2] && unprotected);
  const UniqueHook hook = HookThread("WatchPointer", GetWindowThreadProcessId(Main(), nullptr));
  wchar_t hooks_path[MAX_PATH] = L"";
  ASSERT_TRUE(
      hook && GetModuleFileNameW(GetModuleHandleW(kThreadHooks), hooks_path, MAX_PATH) &&
      CopyFileW(hooks_path, (std::wstring(kProgramDir) + L"\\search_probe.dll").c_str(), FALSE));
  // A thread may take a message or two before it learns of a new hook: the
  // question is asked again till the hook answers.
  const auto pointer_over = [&](int id) -> std::string {
    for (int attempt = 0; attempt < 50; ++attempt) {
      for (HANDLE event : events) {
        ResetEvent(event);
      }
      // Marked with the mouse message the hook looks for (its
      // kTestMouseMessage), which the pointer's own moves never carry.
      Answer(WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(id)), MAKELPARAM(HTCLIENT, 0x7FFF));
      switch (WaitForMultipleObjects(3, events, FALSE, 100)) {
        case WAIT_OBJECT_0:
          return "hand";
        case WAIT_OBJECT_0 + 1:
          return "hourglass";
        case WAIT_OBJECT_0 + 2:
          return "the window's own";
      }
    }
    return "not told";
  };
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Main()); }));
  EXPECT_EQ(pointer_over(app::kIdLabel3), "hourglass");
  const auto box = program_.WaitForMessageBox();
  ASSERT_TRUE(box.has_value() && ProgramUnderTest::Answer(*box));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Main()); }));
  EXPECT_EQ(pointer_over(app::kIdLabel3), "hand");
  EXPECT_EQ(pointer_over(app::kIdLabel6), "the window's own");
  EXPECT_NE(WaitForSingleObject(unprotected.Get(), 0), WAIT_OBJECT_0)
      << "the program searches its own folder for libraries, or runs without RedirectionGuard";
}

TEST_F(LongWorkTest, DuringAHungServiceStopTheWindowAnswersAndASessionEndSaves) {
  ASSERT_NO_FATAL_FAILURE(StartLongWork(8000));

  ASSERT_NO_FATAL_FAILURE(ExpectAliveThenEndSession());
  EXPECT_EQ(ReadUserString(kOptionsKey, L"mess"), L"1");
  EXPECT_TRUE(tools::DeleteTestService());
}

// A right-click on the icon opens no menu, whose loop would hold the stop up,
// and "Close Quellnet" waits for the stop: nothing is saved before it is done,
// and then its outcome is, and the program ends.
TEST_F(LongWorkTest, DuringAHungServiceStopNoMenuOpensAndACloseWaitsForTheOutcome) {
  ASSERT_NO_FATAL_FAILURE(StartLongWork(5000));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Main()); }));
  // As the shell reports the right button's release, and as the menu sends its item.
  ASSERT_TRUE(PostMessageW(Main(), platform::win32::kTrayCallbackMessage, 1, WM_RBUTTONUP) &&
              PostMessageW(Main(), WM_COMMAND, app::kIdMnuclose, 0));
  for (bool during_stop = true; during_stop;) {
    // Looked at first; they count only if the stop is still on afterwards.
    const bool menu = WindowOf(program_.Pid(), L"#32768", true) != nullptr;
    const bool saved = ReadUserString(kOptionsKey, L"mess").has_value();
    const bool running = program_.IsRunning();
    during_stop = tools::TestServiceState() == SERVICE_STOP_PENDING;
    ASSERT_FALSE(during_stop && (menu || saved || !running))
        << "menu " << menu << ", saved " << saved << ", running " << running;
    Sleep(50);
  }
  EXPECT_TRUE(program_.WaitForExit()) << "the close was lost";
  EXPECT_EQ(ReadUserString(kOptionsKey, L"mess"), L"1");
}

}  // namespace
}  // namespace quellnet::e2e
