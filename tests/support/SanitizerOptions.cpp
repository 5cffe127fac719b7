// Sanitizer settings of every test binary, so a test fails the same way whether CTest,
// a debugger or a shell starts it.
extern "C" {
const char* __asan_default_options() { return "detect_leaks=1:strict_string_checks=1:check_initialization_order=1"; }
const char* __lsan_default_options() { return "suppressions=" MW_LSAN_SUPP ":print_suppressions=0"; }
const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
const char* __tsan_default_options() { return "halt_on_error=1:second_deadlock_stack=1"; }
}
