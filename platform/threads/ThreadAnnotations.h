#pragma once

// Clang's thread-safety annotations: with -Wthread-safety the compiler checks that data
// marked ZO_GUARDED_BY is touched only with its mutex held. Other compilers see nothing.
#if defined(__clang__)
#define ZO_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define ZO_THREAD_ANNOTATION(x)
#endif

#define ZO_CAPABILITY(name) ZO_THREAD_ANNOTATION(capability(name))
#define ZO_SCOPED_CAPABILITY ZO_THREAD_ANNOTATION(scoped_lockable)
#define ZO_GUARDED_BY(m) ZO_THREAD_ANNOTATION(guarded_by(m))
#define ZO_PT_GUARDED_BY(m) ZO_THREAD_ANNOTATION(pt_guarded_by(m))
#define ZO_REQUIRES(...) ZO_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define ZO_EXCLUDES(...) ZO_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ZO_ACQUIRE(...) ZO_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define ZO_RELEASE(...) ZO_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define ZO_RETURN_CAPABILITY(x) ZO_THREAD_ANNOTATION(lock_returned(x))
#define ZO_NO_THREAD_SAFETY_ANALYSIS ZO_THREAD_ANNOTATION(no_thread_safety_analysis)
