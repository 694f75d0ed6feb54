/* The public math functions of the library: each calls the build of glibc's
   function that glibc itself would pick on this processor (glibc's x86_64
   selectors: FMA with AVX2 first, then FMA4, else SSE2). */
#include <stdatomic.h>

enum Variant
{
    unchosen,
    plainSse2,
    withFma,
    withFma4
};

static enum Variant Chosen (void)
{
    static _Atomic int chosen = unchosen;
    int variant = atomic_load_explicit (&chosen, memory_order_relaxed);
    if (variant == unchosen)
    {
        __builtin_cpu_init(); /* may run before the constructors */
        if (__builtin_cpu_supports ("fma") && __builtin_cpu_supports ("avx2"))
            variant = withFma;
        else if (__builtin_cpu_supports ("fma4"))
            variant = withFma4;
        else
            variant = plainSse2;
        atomic_store_explicit (&chosen, variant, memory_order_relaxed);
    }
    return (enum Variant) variant;
}

#define VARIANTS_1(internal)         \
    double internal##_sse2 (double); \
    double internal##_fma (double);  \
    double internal##_fma4 (double);

#define VARIANTS_2(internal)                 \
    double internal##_sse2 (double, double); \
    double internal##_fma (double, double);  \
    double internal##_fma4 (double, double);

#define DISPATCH_1(name, internal)                     \
    double name (double x)                             \
    {                                                  \
        switch (Chosen())                              \
        {                                              \
            case withFma: return internal##_fma (x);   \
            case withFma4: return internal##_fma4 (x); \
            default: return internal##_sse2 (x);       \
        }                                              \
    }

#define DISPATCH_2(name, internal)                        \
    double name (double x, double y)                      \
    {                                                     \
        switch (Chosen())                                 \
        {                                                 \
            case withFma: return internal##_fma (x, y);   \
            case withFma4: return internal##_fma4 (x, y); \
            default: return internal##_sse2 (x, y);       \
        }                                                 \
    }

VARIANTS_1 (__exp)
VARIANTS_1 (__log)
VARIANTS_2 (__pow)
VARIANTS_1 (__sin)
VARIANTS_1 (__cos)
VARIANTS_1 (__tan)
VARIANTS_1 (__atan)
VARIANTS_1 (__ieee754_asin)
VARIANTS_1 (__ieee754_acos)
VARIANTS_2 (__ieee754_atan2)

double __expm1_sse2 (double);
double __expm1_fma (double);

/* glibc has no FMA4 build of expm1. */
double __expm1 (double x)
{
    return Chosen() == withFma ? __expm1_fma (x) : __expm1_sse2 (x);
}

/* What the common sources call (sinh and cosh call exp, log10 calls log). */
DISPATCH_1 (__ieee754_exp, __exp)
DISPATCH_1 (__ieee754_log, __log)
DISPATCH_2 (__ieee754_pow, __pow)

DISPATCH_1 (exp, __exp)
DISPATCH_1 (log, __log)
DISPATCH_2 (pow, __pow)
DISPATCH_1 (sin, __sin)
DISPATCH_1 (cos, __cos)
DISPATCH_1 (tan, __tan)
DISPATCH_1 (atan, __atan)
DISPATCH_1 (asin, __ieee754_asin)
DISPATCH_1 (acos, __ieee754_acos)
DISPATCH_2 (atan2, __ieee754_atan2)

double __ieee754_sinh (double);
double __ieee754_cosh (double);
double __tanh (double);
double __ieee754_log10 (double);
double sinh (double x)
{
    return __ieee754_sinh (x);
}
double cosh (double x)
{
    return __ieee754_cosh (x);
}
double tanh (double x)
{
    return __tanh (x);
}
double log10 (double x)
{
    return __ieee754_log10 (x);
}
double expm1 (double x)
{
    return __expm1 (x);
}

/* As glibc's: the instruction, correctly rounded (MinGW's goes through the
   x87 unit and rounds twice). */
double sqrt (double x)
{
    double root;
    __asm__("sqrtsd %1, %0"
            : "=x"(root)
            : "x"(x));
    return root;
}

/* As glibc's sincos: the values sin and cos give. */
void sincos (double x, double* sine, double* cosine)
{
    *sine = sin (x);
    *cosine = cos (x);
}

/* MinGW's sincos lives in one object with sincosf and sincosl: the window's
   graphics ask for sincosf, and that object's sincos would then clash with
   the one above. The float and long double forms, as MinGW computes them.
   MinGW's sinf, cosf, sinl and cosl are reached under names GCC does not take
   for its built-ins: it folds a sinf and a cosf of one value into a call of
   sincosf, which here is the function itself, a recursion without end. */
float MingwSinf (float) __asm__ ("sinf");
float MingwCosf (float) __asm__ ("cosf");
long double MingwSinl (long double) __asm__ ("sinl");
long double MingwCosl (long double) __asm__ ("cosl");

void sincosf (float x, float* sine, float* cosine)
{
    *sine = MingwSinf (x);
    *cosine = MingwCosf (x);
}

void sincosl (long double x, long double* sine, long double* cosine)
{
    *sine = MingwSinl (x);
    *cosine = MingwCosl (x);
}
