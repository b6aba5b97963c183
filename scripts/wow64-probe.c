/* A 32-bit Windows program that only exits with a code of its own. When Wine runs it, it ends
 * with that code; when 32-bit code cannot run, Wine's start failure gives another (1). */
#ifndef PROBE_EXIT_CODE
#define PROBE_EXIT_CODE 42
#endif

int main(void) { return PROBE_EXIT_CODE; }
