/*
 * Mirvo32: loan calculation library for Norwegian banks.
 *
 * A calculator is created by an initialize function and freed by the matching
 * terminate function. Input is a buffer of NAME=value pairs; results are read
 * by identifier ("TERMBELOP", "EFFRNT", "NBPLAN", ...) into a buffer owned by
 * the caller, whose capacity (buffLen) counts characters including the
 * terminating zero. Every function that can fail returns a result code
 * (0..65535, 0 = success) whose Norwegian text the geterror functions give.
 *
 * Wide text is zero-terminated UTF-16 (char16_t). Narrow ("ANSI") text is
 * zero-terminated Windows-1252.
 */
#ifndef MIRVO32_H
#define MIRVO32_H

#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define MIRVO32_API __attribute__((visibility("default")))
#else
#define MIRVO32_API
#endif

/* ---- Loan calculator (installment loans) ------------------------------ */

MIRVO32_API void*    MVinitialize(void);
MIRVO32_API void     MVterminate(void* handle);
MIRVO32_API uint32_t MVinput_w(void* handle, const char16_t* input);
MIRVO32_API uint32_t MVinput(void* handle, const char* input);
MIRVO32_API uint32_t MVgetresult_w(void* handle, const char16_t* funcID, uint16_t funcParam,
                                   char16_t* dest, uint32_t buffLen);
MIRVO32_API uint32_t MVgetfmtresult_w(void* handle, const char16_t* funcID, uint16_t funcParam,
                                      char16_t* dest, uint32_t buffLen);
MIRVO32_API uint32_t MVgetresult(void* handle, const char* funcID, uint16_t funcParam,
                                 char* dest, uint32_t buffLen);
MIRVO32_API uint32_t MVgetfmtresult(void* handle, const char* funcID, uint16_t funcParam,
                                    char* dest, uint32_t buffLen);
MIRVO32_API void     MVgeterror_w(uint16_t code, char16_t* dest, uint32_t capacity);
MIRVO32_API void     MVgeterror(uint16_t code, char* dest, uint16_t capacity);
MIRVO32_API uint32_t MVgeterrorcode(void* handle);
MIRVO32_API uint16_t MVgetversion(void); /* 300 */

/* ---- Portfolio of loans ------------------------------------------------ */
/* A portfolio refers to its loans without owning them: terminate the
 * portfolio first, then the loans. */

MIRVO32_API void*    PFinitialize(void);
MIRVO32_API void     PFterminate(void* portfolio);
MIRVO32_API void     PFadd(void* portfolio, void* loan);
MIRVO32_API uint32_t PFgetresult_w(void* portfolio, const char16_t* funcID, uint16_t funcParam,
                                   char16_t* dest, uint32_t buffLen);
MIRVO32_API uint32_t PFgetfmtresult_w(void* portfolio, const char16_t* funcID, uint16_t funcParam,
                                      char16_t* dest, uint32_t buffLen);
MIRVO32_API uint32_t PFgetresult(void* portfolio, const char* funcID, uint16_t funcParam,
                                 char* dest, uint32_t buffLen);
MIRVO32_API uint32_t PFgetfmtresult(void* portfolio, const char* funcID, uint16_t funcParam,
                                    char* dest, uint32_t buffLen);
MIRVO32_API void     PFgeterror_w(void* portfolio, char16_t* dest, uint32_t capacity);
MIRVO32_API void     PFgeterror(void* portfolio, char* dest, uint16_t capacity);

/* ---- Framework loan (credit line) -------------------------------------- */

MIRVO32_API void*    RLinitialize(void);
MIRVO32_API void     RLterminate(void* handle);
MIRVO32_API uint32_t RLinput_w(void* handle, const char16_t* input);
MIRVO32_API uint32_t RLinput(void* handle, const char* input);
MIRVO32_API uint32_t RLgetresult_w(void* handle, const char16_t* funcID, int32_t funcParam,
                                   char16_t* dest, uint32_t buffLen);
MIRVO32_API uint32_t RLgetfmtresult_w(void* handle, const char16_t* funcID, int32_t funcParam,
                                      char16_t* dest, uint32_t buffLen);
MIRVO32_API uint32_t RLgetresult(void* handle, const char* funcID, uint16_t funcParam,
                                 char* dest, uint32_t buffLen);
MIRVO32_API uint32_t RLgetfmtresult(void* handle, const char* funcID, uint16_t funcParam,
                                    char* dest, uint32_t buffLen);
MIRVO32_API void     RLgeterror_w(uint16_t code, char16_t* dest, uint16_t capacity);
MIRVO32_API void     RLgeterror(uint16_t code, char* dest, uint16_t capacity);
MIRVO32_API uint16_t RLgetVersion(void); /* 400 */

/* ---- Automation server registration ------------------------------------ */

#ifndef MIRVO_COM_BASE_TYPES
#define MIRVO_COM_BASE_TYPES
typedef int32_t HRESULT;
typedef struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t  Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
#endif

MIRVO32_API HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv);
MIRVO32_API HRESULT DllCanUnloadNow(void);
MIRVO32_API HRESULT DllRegisterServer(void);
MIRVO32_API HRESULT DllUnregisterServer(void);
MIRVO32_API HRESULT DllInstall(int32_t install, const char16_t* cmdLine);

#ifdef __cplusplus
}
#endif

#endif /* MIRVO32_H */
