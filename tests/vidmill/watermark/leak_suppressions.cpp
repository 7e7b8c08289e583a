// Fontconfig keeps its font caches for the whole process and frees them only on request, which
// the leak checker of the sanitizer run would report. Those are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
