/* Read before every source of glibc's math built here (-include): the few
   definitions of glibc's internal headers that its double-precision sources
   use, for MinGW-w64 on x86_64. The headers those sources include by name
   are empty files made by CMakeLists.txt; everything they would define is
   here. Values come out as glibc's because the code is glibc's: this file
   only supplies word access, barriers and no-op symbol aliases.

   Rounding: glibc's SET_RESTORE_ROUND saves the rounding mode, sets round to
   nearest and restores it. The programs that link this library never leave
   round to nearest, so it is a no-op here. The underflow checks only raise
   the underflow flag, which nothing here reads, and are no-ops too. */
#ifndef QUILLMERE_GLIBC_BUILD_H
#define QUILLMERE_GLIBC_BUILD_H

#include <errno.h>
#include <stdint.h>

#define __LITTLE_ENDIAN 1234
#define __BIG_ENDIAN 4321
#define __BYTE_ORDER __LITTLE_ENDIAN
#define __FLOAT_WORD_ORDER __LITTLE_ENDIAN
#define LITTLE_ENDI 1
#define HIGH_HALF 1
#define LOW_HALF 0

#define attribute_hidden
#define hidden_def(name)
#define strong_alias(name, aliasname)
#define weak_alias(name, aliasname)
#define versioned_symbol(lib, local, symbol, version)
#define libm_alias_finite(from, to)
#define libm_alias_double(from, to)
#define libm_alias_double_other(from, to)
#define LIBM_SVID_COMPAT 0
#define __glibc_likely(cond) __builtin_expect ((cond), 1)
#define __glibc_unlikely(cond) __builtin_expect ((cond), 0)
#define __set_errno(value) (errno = (value))
#define SECTION
#ifndef __always_inline
#define __always_inline inline __attribute__ ((__always_inline__))
#endif

#define HIGH_ORDER_BIT_IS_SET_FOR_SNAN 0
#define FIX_INT_FP_CONVERT_ZERO 0

#define SET_RESTORE_ROUND(mode)
#define SET_RESTORE_ROUND_53BIT(mode)
#define math_check_force_underflow(x) ((void) 0)
#define math_check_force_underflow_nonneg(x) ((void) 0)
#define math_narrow_eval(x) (x)

/* As glibc's x86 math-barriers.h has them for SSE2 arithmetic. */
#define math_opt_barrier(x) \
    ({                      \
        __typeof (x) __x;   \
        __asm(""            \
              : "=x"(__x)   \
              : "0"(x));    \
        __x;                \
    })
#define math_force_eval(x)          \
    do                              \
    {                               \
        __asm __volatile(""         \
                         :          \
                         : "x"(x)); \
    } while (0)

typedef union
{
    double value;
    struct
    {
        uint32_t lsw;
        uint32_t msw;
    } parts;
    uint64_t word;
} ieee_double_shape_type;

#define EXTRACT_WORDS(ix0, ix1, d) \
    do                             \
    {                              \
        ieee_double_shape_type u_; \
        u_.value = (d);            \
        (ix0) = u_.parts.msw;      \
        (ix1) = u_.parts.lsw;      \
    } while (0)
#define GET_HIGH_WORD(i, d)        \
    do                             \
    {                              \
        ieee_double_shape_type u_; \
        u_.value = (d);            \
        (i) = u_.parts.msw;        \
    } while (0)
#define GET_LOW_WORD(i, d)         \
    do                             \
    {                              \
        ieee_double_shape_type u_; \
        u_.value = (d);            \
        (i) = u_.parts.lsw;        \
    } while (0)
#define EXTRACT_WORDS64(i, d)      \
    do                             \
    {                              \
        ieee_double_shape_type u_; \
        u_.value = (d);            \
        (i) = u_.word;             \
    } while (0)
#define INSERT_WORDS(d, ix0, ix1)  \
    do                             \
    {                              \
        ieee_double_shape_type u_; \
        u_.parts.msw = (ix0);      \
        u_.parts.lsw = (ix1);      \
        (d) = u_.value;            \
    } while (0)
#define INSERT_WORDS64(d, i)       \
    do                             \
    {                              \
        ieee_double_shape_type u_; \
        u_.word = (i);             \
        (d) = u_.value;            \
    } while (0)
#define SET_HIGH_WORD(d, v)        \
    do                             \
    {                              \
        ieee_double_shape_type u_; \
        u_.value = (d);            \
        u_.parts.msw = (v);        \
        (d) = u_.value;            \
    } while (0)
#define SET_LOW_WORD(d, v)         \
    do                             \
    {                              \
        ieee_double_shape_type u_; \
        u_.value = (d);            \
        u_.parts.lsw = (v);        \
        (d) = u_.value;            \
    } while (0)

/* The internal entry points the sources call one another by. Each of exp,
   log and pow is built once per instruction set; these names reach the
   variant chosen for the processor (see dispatch.c). */
double __ieee754_exp (double);
double __ieee754_log (double);
double __ieee754_pow (double, double);
double __expm1 (double);
int __branred (double, double*, double*);

#endif
