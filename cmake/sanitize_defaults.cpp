// Runtime defaults of the sanitized builds, linked into every executable (see Sanitize.cmake).
//
// The graphics library installs handlers for SEGV, ABRT, FPE, ILL and others that shut it down
// and re-raise the signal, which would swallow the sanitizer's report. With
// allow_user_segv_handler=0 the sanitizer keeps those signals to itself and ignores the
// library's later signal() calls, so a fault is always reported on stderr with its stack.

extern "C" const char* __asan_default_options() {
    return "halt_on_error=1:abort_on_error=1:print_stacktrace=1:detect_leaks=1:"
           "handle_segv=1:handle_sigbus=1:handle_abort=1:handle_sigill=1:handle_sigfpe=1:"
           "allow_user_segv_handler=0";
}

extern "C" const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}

extern "C" const char* __tsan_default_options() {
    return "halt_on_error=1:abort_on_error=1:handle_segv=1:allow_user_segv_handler=0";
}
