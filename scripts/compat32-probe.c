/* Exits 0 when this Linux machine can run 32-bit x86 code inside a 64-bit process, as Wine's
 * WoW64 mode needs: a far return into the kernel's 32-bit user code segment (0x23) runs two
 * 32-bit instructions and jumps back to 64-bit code (0x33). A kernel or hypervisor without
 * that segment ends the process with a protection fault instead. */
#include <string.h>
#include <sys/mman.h>

int main(void) {
#if defined(__x86_64__)
    unsigned char* page = mmap((void*)0x100000, 4096, PROT_READ | PROT_WRITE | PROT_EXEC,
                               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (page == MAP_FAILED) return 2;
    /* 32-bit: inc %eax; inc %eax; ljmp $0x33,$0x100100 */
    static const unsigned char code32[] = {0x40, 0x40, 0xEA, 0x00, 0x01, 0x10, 0x00, 0x33, 0x00};
    /* 64-bit: jmp *%rbx */
    static const unsigned char code64[] = {0xFF, 0xE3};
    memcpy(page, code32, sizeof code32);
    memcpy(page + 0x100, code64, sizeof code64);
    long counted;
    __asm__ volatile(
        "xor %%eax, %%eax\n\t"
        "lea 1f(%%rip), %%rbx\n\t"
        "pushq $0x23\n\t"
        "pushq $0x100000\n\t"
        "lretq\n"
        "1:\n\t"
        : "=a"(counted)
        :
        : "rbx", "memory");
    return counted == 2 ? 0 : 3;
#else
    return 4;
#endif
}
