#include "native/call_by_address.h"

#include <gtest/gtest.h>

#include <array>

namespace quillmere {
namespace {

using Word = std::uint32_t;

// Order-sensitive, so that a callee that saw its arguments in another order gives another result.
constexpr Word Combine(Word hash, Word argument) { return hash * 31 + argument; }

Word __stdcall Stdcall0() { return 7; }
Word __stdcall Stdcall1(Word a) { return Combine(7, a); }
Word __stdcall Stdcall5(Word a, Word b, Word c, Word d, Word e) {
  return Combine(Combine(Combine(Combine(Combine(7, a), b), c), d), e);
}
Word __stdcall Stdcall10(Word a, Word b, Word c, Word d, Word e, Word f, Word g, Word h, Word i, Word j) {
  return Combine(Combine(Combine(Combine(Combine(Stdcall5(a, b, c, d, e), f), g), h), i), j);
}
Word __cdecl Cdecl0() { return Stdcall0(); }
Word __cdecl Cdecl1(Word a) { return Stdcall1(a); }
Word __cdecl Cdecl5(Word a, Word b, Word c, Word d, Word e) { return Stdcall5(a, b, c, d, e); }
Word __cdecl Cdecl10(Word a, Word b, Word c, Word d, Word e, Word f, Word g, Word h, Word i, Word j) {
  return Stdcall10(a, b, c, d, e, f, g, h, i, j);
}

using CallFunction = Word (*)(std::uintptr_t, Word, Word, Word, Word, Word, Word, Word, Word, Word, Word);

struct StackProbe {
  Word before;  // the stack pointer before the caller pushes its arguments
  Word after;   // and after it has removed them again
  CallFunction call;
};

// Calls `probe->call(address, arguments[0], ..., arguments[9])` as compiled cdecl code does (push the
// arguments, call, remove them) and records the stack pointer around it, where a compiler would rely on it
// being the same.
__attribute__((naked)) Word ProbedCall(StackProbe*, std::uintptr_t, const Word*) {
  asm("pushl %ebp\n\t"
      "movl %esp, %ebp\n\t"
      "pushl %esi\n\t"
      "pushl %edi\n\t"
      "movl 8(%ebp), %esi\n\t"
      "movl 16(%ebp), %edi\n\t"
      "movl %esp, 0(%esi)\n\t"
      "pushl 36(%edi)\n\t"
      "pushl 32(%edi)\n\t"
      "pushl 28(%edi)\n\t"
      "pushl 24(%edi)\n\t"
      "pushl 20(%edi)\n\t"
      "pushl 16(%edi)\n\t"
      "pushl 12(%edi)\n\t"
      "pushl 8(%edi)\n\t"
      "pushl 4(%edi)\n\t"
      "pushl 0(%edi)\n\t"
      "pushl 12(%ebp)\n\t"
      "call *8(%esi)\n\t"
      "addl $44, %esp\n\t"
      "movl %esp, 4(%esi)\n\t"
      "popl %edi\n\t"
      "popl %esi\n\t"
      "popl %ebp\n\t"
      "ret");
}

TEST(CallByAddress, PassesTheArgumentsInOrderAndKeepsTheCallersStackWhateverTheCalleeTakes) {
  constexpr std::array<Word, 10> arguments{0x11, 0x2222, 0x333333, 0x44444444, 5, 6, 7, 8, 9, 0xFFFFFFFF};
  const auto& a = arguments;
  struct Case {
    const char* callee;
    std::uintptr_t address;
    Word want;
  };
  const Case cases[] = {
      {"stdcall 0", reinterpret_cast<std::uintptr_t>(&Stdcall0), 7},
      {"stdcall 1", reinterpret_cast<std::uintptr_t>(&Stdcall1), Stdcall1(a[0])},
      {"stdcall 5", reinterpret_cast<std::uintptr_t>(&Stdcall5), Stdcall5(a[0], a[1], a[2], a[3], a[4])},
      {"stdcall 10", reinterpret_cast<std::uintptr_t>(&Stdcall10),
       Stdcall10(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9])},
      {"cdecl 0", reinterpret_cast<std::uintptr_t>(&Cdecl0), 7},
      {"cdecl 1", reinterpret_cast<std::uintptr_t>(&Cdecl1), Stdcall1(a[0])},
      {"cdecl 5", reinterpret_cast<std::uintptr_t>(&Cdecl5), Stdcall5(a[0], a[1], a[2], a[3], a[4])},
      {"cdecl 10", reinterpret_cast<std::uintptr_t>(&Cdecl10),
       Stdcall10(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9])},
  };
  for (const Case& c : cases) {
    StackProbe probe{0, 0, &CallByAddress};
    EXPECT_EQ(ProbedCall(&probe, c.address, arguments.data()), c.want) << c.callee;
    EXPECT_NE(probe.before, 0u) << c.callee;
    EXPECT_EQ(probe.after, probe.before) << c.callee;
  }
}

TEST(CallByAddress, LeftOutArgumentsAreZero) {
  EXPECT_EQ(CallByAddress(reinterpret_cast<std::uintptr_t>(&Stdcall5), 1, 2), Stdcall5(1, 2, 0, 0, 0));
  EXPECT_EQ(CallByAddress(reinterpret_cast<std::uintptr_t>(&Cdecl1)), Stdcall1(0));
}

}  // namespace
}  // namespace quillmere
