/* Asks Windows whether each file given carries a valid Authenticode
 * signature (WinVerifyTrust, WINTRUST_ACTION_GENERIC_VERIFY_V2, as the
 * shell's Digital Signatures tab and SmartScreen do) and prints the result,
 * one line per file: "0x%08lX <file>".
 *
 *   verify_trust.exe [/trust CA.cer] FILE...
 *
 * With /trust, the certificate (DER) is added to the machine's trusted roots
 * for this run and taken out again before the program ends, so that a chain
 * to a throwaway test CA ends in a trusted root, as a publisher's chain does
 * on a user's Windows. Revocation is not checked (WTD_REVOKE_NONE): a test
 * certificate names no CRL.
 *
 * Windows documents 0 only for a signature whose chain ends in a trusted
 * root, with a certificate valid now (or at its time stamp) and for code
 * signing; else CERT_E_UNTRUSTEDROOT, CERT_E_EXPIRED, CERT_E_WRONG_USAGE.
 * Wine 8 checks the signature and the file's digest alone: it gives 0 also
 * without /trust, and for expired or server-only certificates. The tests
 * expect what Windows documents, so /trust is given; the expiry and the key
 * usage are checked by scripts/sign-release.sh before it signs. */
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>
#include <stdio.h>
#include <wchar.h>

static LONG VerifyFile(const wchar_t *path)
{
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WINTRUST_FILE_INFO file = {0};
    WINTRUST_DATA data = {0};
    LONG status;

    file.cbStruct = sizeof file;
    file.pcwszFilePath = path;
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    status = WinVerifyTrust(INVALID_HANDLE_VALUE, &action, &data);
    /* The verify step keeps state until it is closed. */
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(INVALID_HANDLE_VALUE, &action, &data);
    return status;
}

/* The certificate in a DER file, added to the local machine's Root store;
 * NULL (with a message) when that fails. */
static PCCERT_CONTEXT TrustRoot(HCERTSTORE root, const wchar_t *path)
{
    static BYTE der[16384];
    DWORD size = 0;
    PCCERT_CONTEXT added = NULL;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);

    if (file == INVALID_HANDLE_VALUE || !ReadFile(file, der, sizeof der, &size, NULL) ||
        !CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der, size,
                                          CERT_STORE_ADD_REPLACE_EXISTING, &added))
        fwprintf(stderr, L"cannot add %ls to the trusted roots: error 0x%08lX\n", path, GetLastError());
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return added;
}

int wmain(int argc, wchar_t **argv)
{
    HCERTSTORE root = NULL;
    PCCERT_CONTEXT trusted = NULL;
    const int trust = argc > 1 && wcscmp(argv[1], L"/trust") == 0;
    const int first = trust ? 3 : 1;

    /* The arguments first: a bad call leaves the root store as it was. */
    if (first >= argc) {
        fwprintf(stderr, L"usage: verify_trust [/trust CA.cer] FILE...\n");
        return 2;
    }
    if (trust) {
        /* The machine's own registry store of roots, not the system store
         * that collects several: Wine deletes from that one only in memory. */
        root = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
        if (!root || !(trusted = TrustRoot(root, argv[2])))
            return 2;
    }
    for (int i = first; i < argc; ++i)
        wprintf(L"0x%08lX %ls\n", (unsigned long)VerifyFile(argv[i]), argv[i]);
    if (trusted) {
        CertDeleteCertificateFromStore(trusted);  /* also frees the context */
        CertCloseStore(root, 0);
    }
    return 0;
}
