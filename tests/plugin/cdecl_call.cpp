#include "cdecl_call.h"

// ESP is restored from EDI at the end, so a callee that pops its own arguments is reported, not
// fatal.
asm(R"(
    .text
    .globl _qv_call_cdecl
_qv_call_cdecl:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 12(%ebp), %ecx
    movl 16(%ebp), %esi
    movl %esp, %edi
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  movl 12(%ebp), %ebx
    shll $2, %ebx
    call *8(%ebp)
    addl %ebx, %esp
    movl %esp, %ecx
    subl %edi, %ecx
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    movl %edi, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");
