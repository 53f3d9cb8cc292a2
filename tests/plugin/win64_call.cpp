#include "win64_call.h"

// Frame: 32 bytes of shadow space for the callee, the function at 32, the clobber pointer at 40,
// the result at 56, the caller's XMM6-XMM15 from 64. Eight pushes and 232 bytes keep RSP 16-byte
// aligned at the call. Canary k goes into preserved register k and is looked for afterwards.
asm(R"(
    .text
    .globl qv_call_win64
qv_call_win64:
    .irp r, rbp, rbx, rsi, rdi, r12, r13, r14, r15
    pushq %\r
    .endr
    subq $232, %rsp
    movq %rcx, 32(%rsp)
    movq %r8, 40(%rsp)
    .irp n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movdqu %xmm\n, 64+16*(\n-6)(%rsp)
    movabsq $0x5a17c0de00000000+\n+2, %rax
    movq %rax, %xmm\n
    punpcklqdq %xmm\n, %xmm\n
    .endr
    movq %rdx, %rax
    movq 0(%rax), %rcx
    movq 8(%rax), %rdx
    movq 16(%rax), %r8
    movq 24(%rax), %r9
    .set k, 0
    .irp r, rbx, rbp, rsi, rdi, r12, r13, r14, r15
    movabsq $0x5a17c0de00000000+k, %\r
    .set k, k+1
    .endr
    callq *32(%rsp)
    movq %rax, 56(%rsp)
    xorl %r11d, %r11d
    .set k, 0
    .irp r, rbx, rbp, rsi, rdi, r12, r13, r14, r15
    movabsq $0x5a17c0de00000000+k, %r10
    cmpq %r10, %\r
    je 1f
    orl $1<<k, %r11d
1:
    .set k, k+1
    .endr
    .irp n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movabsq $0x5a17c0de00000000+\n+2, %r10
    movq %xmm\n, %rax
    pshufd $0x4e, %xmm\n, %xmm0
    movq %xmm0, %rcx
    cmpq %r10, %rax
    jne 2f
    cmpq %r10, %rcx
    je 1f
2:  orl $1<<(\n+2), %r11d
1:  movdqu 64+16*(\n-6)(%rsp), %xmm\n
    .endr
    movq 40(%rsp), %r10
    movl %r11d, (%r10)
    movq 56(%rsp), %rax
    addq $232, %rsp
    .irp r, r15, r14, r13, r12, rdi, rsi, rbx, rbp
    popq %\r
    .endr
    retq

    .globl qv_clobbers_rbx_and_xmm6
qv_clobbers_rbx_and_xmm6:
    movq %rcx, %rax
    xorl %ebx, %ebx
    pxor %xmm6, %xmm6
    retq
)");
