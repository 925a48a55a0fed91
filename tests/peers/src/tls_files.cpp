// Makes a throw-away CA and a server certificate for 127.0.0.1/localhost with
// the OpenSSL C API, written as PEM files into a fresh temporary folder.
#include "peers/tls_files.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

namespace peers {
namespace {

struct PkeyFree { void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); } };
struct X509Free { void operator()(X509* p) const { X509_free(p); } };
struct BioFree { void operator()(BIO* p) const { BIO_free_all(p); } };
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyFree>;
using X509Ptr = std::unique_ptr<X509, X509Free>;
using BioPtr = std::unique_ptr<BIO, BioFree>;

PkeyPtr MakeKey() { return PkeyPtr(EVP_EC_gen("P-256")); }

bool AddExt(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (!ext) return false;
    int ok = X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
    return ok == 1;
}

// A certificate for `key` named `cn`, signed by issuerKey (self-signed when issuer is null).
X509Ptr MakeCert(EVP_PKEY* key, const char* cn, X509* issuer, EVP_PKEY* issuerKey, bool ca) {
    X509Ptr cert(X509_new());
    if (!cert) return nullptr;
    unsigned char serial[16];
    if (RAND_bytes(serial, sizeof serial) != 1) return nullptr;
    serial[0] &= 0x7f;  // keep it positive
    BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
    bool ok = bn && BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get())) != nullptr;
    BN_free(bn);
    ok = ok && X509_set_version(cert.get(), 2) == 1;
    ok = ok && X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600) != nullptr;
    ok = ok && X509_gmtime_adj(X509_getm_notAfter(cert.get()), 24L * 3600) != nullptr;
    ok = ok && X509_set_pubkey(cert.get(), key) == 1;
    X509_NAME* name = X509_get_subject_name(cert.get());
    ok = ok && X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                                          reinterpret_cast<const unsigned char*>("Local Test Peers"), -1, -1, 0) == 1;
    ok = ok && X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(cn),
                                          -1, -1, 0) == 1;
    X509* signer = issuer ? issuer : cert.get();
    ok = ok && X509_set_issuer_name(cert.get(), X509_get_subject_name(signer)) == 1;
    ok = ok && AddExt(cert.get(), signer, NID_subject_key_identifier, "hash");
    if (ca) {
        ok = ok && AddExt(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
        ok = ok && AddExt(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        ok = ok && AddExt(cert.get(), signer, NID_authority_key_identifier, "keyid:always");
        ok = ok && AddExt(cert.get(), signer, NID_basic_constraints, "critical,CA:FALSE");
        ok = ok && AddExt(cert.get(), signer, NID_key_usage, "critical,digitalSignature,keyEncipherment");
        ok = ok && AddExt(cert.get(), signer, NID_ext_key_usage, "serverAuth");
        ok = ok && AddExt(cert.get(), signer, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
    }
    ok = ok && X509_sign(cert.get(), issuerKey ? issuerKey : key, EVP_sha256()) > 0;
    return ok ? std::move(cert) : nullptr;
}

bool WriteCert(const std::string& path, X509* cert) {
    BioPtr bio(BIO_new_file(path.c_str(), "w"));
    return bio && PEM_write_bio_X509(bio.get(), cert) == 1;
}

bool WriteKey(const std::string& path, EVP_PKEY* key) {
    BioPtr bio(BIO_new_file(path.c_str(), "w"));
    return bio && PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
}

// Owns the folder for the life of the process and removes it at exit.
struct TlsFolder {
    TlsFiles files;
    TlsFolder();
    ~TlsFolder() {
        for (const std::string* f : {&files.caFile, &files.certFile, &files.keyFile})
            if (!f->empty()) ::unlink(f->c_str());
        if (!files.dir.empty()) ::rmdir(files.dir.c_str());
    }
    TlsFolder(const TlsFolder&) = delete;
    TlsFolder& operator=(const TlsFolder&) = delete;
};

TlsFolder::TlsFolder() {
    TlsFolder& out = *this;
    const char* tmp = ::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/test-peers-tls-XXXXXX";
    if (!::mkdtemp(templ.data())) {
        std::fprintf(stderr, "[test_peers] mkdtemp failed for %s\n", templ.c_str());
        return;
    }
    out.files.dir = templ;
    PkeyPtr caKey = MakeKey();
    PkeyPtr serverKey = MakeKey();
    X509Ptr caCert = caKey ? MakeCert(caKey.get(), "Local Test Peers CA", nullptr, nullptr, true) : nullptr;
    X509Ptr serverCert =
        caCert && serverKey ? MakeCert(serverKey.get(), "localhost", caCert.get(), caKey.get(), false) : nullptr;
    const std::string ca = templ + "/ca.pem", cert = templ + "/server.pem", key = templ + "/server-key.pem";
    if (!serverCert || !WriteCert(ca, caCert.get()) || !WriteCert(cert, serverCert.get()) ||
        !WriteKey(key, serverKey.get())) {
        for (const std::string* f : {&ca, &cert, &key}) ::unlink(f->c_str());
        std::fprintf(stderr, "[test_peers] making test certificates failed: %s\n",
                     ERR_error_string(ERR_get_error(), nullptr));
        return;
    }
    out.files.caFile = ca;
    out.files.certFile = cert;
    out.files.keyFile = key;
}

}  // namespace

const TlsFiles& TestTls() {
    static const TlsFolder folder;  // thread-safe one-time initialisation
    return folder.files;
}

}  // namespace peers
