#include "native/call_by_address.h"

static_assert(sizeof(void*) == 4, "CallByAddress is written for 32-bit x86");

namespace quillmere {

// The frame pointer remembers the stack pointer before the arguments are pushed, so restoring it undoes
// whatever the callee did or did not pop. The ten arguments are pushed last to first onto a 16-byte aligned
// stack (40 bytes of arguments plus 8 of padding), so that the callee starts with the alignment GCC prefers.
// On entry: the return address at 0(%esp), the code address at 4(%esp), the arguments from 8(%esp) on.
__attribute__((naked)) std::uint32_t CallByAddress(std::uintptr_t, std::uint32_t, std::uint32_t,
                                                   std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                                   std::uint32_t, std::uint32_t, std::uint32_t,
                                                   std::uint32_t) {
  asm("pushl %ebp\n\t"
      "movl %esp, %ebp\n\t"
      "andl $-16, %esp\n\t"
      "subl $8, %esp\n\t"
      "pushl 48(%ebp)\n\t"
      "pushl 44(%ebp)\n\t"
      "pushl 40(%ebp)\n\t"
      "pushl 36(%ebp)\n\t"
      "pushl 32(%ebp)\n\t"
      "pushl 28(%ebp)\n\t"
      "pushl 24(%ebp)\n\t"
      "pushl 20(%ebp)\n\t"
      "pushl 16(%ebp)\n\t"
      "pushl 12(%ebp)\n\t"
      "call *8(%ebp)\n\t"
      "movl %ebp, %esp\n\t"
      "popl %ebp\n\t"
      "ret");
}

}  // namespace quillmere
