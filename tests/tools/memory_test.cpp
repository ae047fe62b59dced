// A drawing too big for the memory there is: the user is told, and the
// drawing that was open stays as it was, history and all.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "i18n/msg.h"
#include "support/fake_platform.h"
#include "support/sanitized.h"
#include "support/temp_dir.h"
#include "tools/editor.h"

namespace vestrel {
namespace {

// The address space this process uses now, in bytes.
std::size_t AddressSpace() {
  std::ifstream status("/proc/self/statm");
  std::size_t pages = 0;
  status >> pages;
  return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

TEST(OutOfMemory, ADrawingTooBigToHoldLeavesTheOpenOneAsItWas) {
  if (test::kSanitized) GTEST_SKIP() << "the sanitizers' shadow memory does not go with a limited address space";
  const test::TempDir tmp;
  // A million half circles: 22 MB of text, some 1.6 GB as a display list.
  const std::string big = tmp.path("big.dxf");
  {
    std::ofstream out(big, std::ios::binary);
    out << "  0\nSECTION\n  2\nENTITIES\n  0\nLWPOLYLINE\n  8\n0\n";
    for (int i = 0; i < 1000000; ++i) out << " 10\n" << i << "\n 20\n0\n 42\n1\n";
    out << "  0\nENDSEC\n  0\nEOF\n";
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    test::FakePlatform platform;
    Editor editor(platform);
    editor.FormCreate(VESTREL_TEMPLATE_DIR);
    editor.FormShow({});
    editor.TabControl1Change(1);  // an edit: a viewport, and a step to undo
    const std::size_t lines = editor.drawing.dxf.size(), entries = editor.drawing.polys.size();
    // Room for the text, not for the display list. (Measured once: a
    // second measure may find less, and a soft limit above the hard one
    // is refused.)
    const rlim_t room = AddressSpace() + (400u << 20);
    const rlimit limit{room, room};
    if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(2);
    platform.answers = {Answer::No};
    platform.openNames = {big};
    editor.ffnen1Click();
    const bool told = platform.messages.size() == 1 && platform.messages[0].nr == msg::CannotOpen &&
                      platform.messages[0].suffix.find("Arbeitsspeicher") != std::string::npos;
    const bool kept = editor.drawing.dxf.size() == lines && editor.drawing.polys.size() == entries &&
                      editor.undos.undos.size() == 1 && editor.file.afilename.empty();
    ::_exit(told && kept ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
  ASSERT_NE(WEXITSTATUS(status), 2) << "the address space could not be limited";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "no message, or the open drawing changed";
}

}  // namespace
}  // namespace vestrel
