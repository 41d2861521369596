#include "platform/secret_store.h"

#include <libsecret/secret.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

#include "platform/text.h"
#include "platform/text_format.h"

namespace {

const SecretSchema* Schema() {
    static const SecretSchema schema = {
        "org.vannoir.Account",
        SECRET_SCHEMA_DONT_MATCH_NAME,
        {{"application", SECRET_SCHEMA_ATTRIBUTE_STRING},
         {"server", SECRET_SCHEMA_ATTRIBUTE_STRING},
         {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
        0,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    };
    return &schema;
}

struct ErrorFree {
    void operator()(GError* e) const { g_error_free(e); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;
struct ObjectFree {
    void operator()(gpointer o) const { g_object_unref(o); }
};
using ServicePtr = std::unique_ptr<SecretService, ObjectFree>;
struct TableFree {
    void operator()(GHashTable* t) const { g_hash_table_unref(t); }
};
using TablePtr = std::unique_ptr<GHashTable, TableFree>;
struct ListFree {
    void operator()(GList* l) const { g_list_free_full(l, g_object_unref); }
};
using ListPtr = std::unique_ptr<GList, ListFree>;
struct ValueFree {
    void operator()(SecretValue* v) const { secret_value_unref(v); }
};
using ValuePtr = std::unique_ptr<SecretValue, ValueFree>;

std::string Why(const GError* error) { return error && error->message ? std::string(error->message) : ""; }

[[noreturn]] void Unreachable(const GError* error) {
    throw ESecretStoreUnreachable(FormatText(
        std::string("Le trousseau de clés est injoignable (%s) : aucun mot de passe n'y est lu ni "
                    "écrit. Ouvrez une session de bureau, ou gardez le mot de passe dans le fichier de "
                    "réglages (vannoir-cli compte N --trousseau non)."),
        {Why(error)}));
}

[[noreturn]] void Locked() {
    throw ESecretStoreLocked(
        std::string("Le trousseau de clés est verrouillé : déverrouillez-le, puis recommencez."));
}

bool HasSessionBus() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    return runtime && *runtime && ::stat((std::string(runtime) + "/bus").c_str(), &st) == 0;
}

// The session bus's keyring; the library keeps one connection for the process.
ServicePtr Connect() {
    if (!HasSessionBus()) Unreachable(nullptr);
    GError* raw = nullptr;
    SecretService* service = secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, &raw);
    ErrorPtr error(raw);
    if (!service) Unreachable(error.get());
    return ServicePtr(service);
}

TablePtr Attributes(const SecretKey& key) {
    GHashTable* table = g_hash_table_new_full(g_str_hash, g_str_equal, g_free, g_free);
    g_hash_table_insert(table, g_strdup("application"), g_strdup("vannoir"));
    g_hash_table_insert(table, g_strdup("server"), g_strdup(key.server.c_str()));
    g_hash_table_insert(table, g_strdup("user"), g_strdup(key.user.c_str()));
    return TablePtr(table);
}

// The key's items, unlocked when the keyring lets them be (a desktop asks
// its user); their secrets loaded.
ListPtr Items(SecretService* service, const SecretKey& key) {
    GError* raw = nullptr;
    const auto flags =
        static_cast<SecretSearchFlags>(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS);
    GList* items = secret_service_search_sync(service, Schema(), Attributes(key).get(), flags, nullptr, &raw);
    ErrorPtr error(raw);
    if (!error) return ListPtr(items);
    // An unlock that failed (no one to ask) is a locked keyring, not a lost one.
    GList* locked = secret_service_search_sync(service, Schema(), Attributes(key).get(), SECRET_SEARCH_ALL,
                                               nullptr, nullptr);
    if (locked) {
        ListPtr found(locked);
        Locked();
    }
    Unreachable(error.get());
}

class SystemStore : public SecretStore {
public:
    bool Reachable() override {
        try {
            Connect();
            return true;
        } catch (const ESecretStoreUnreachable&) {
            return false;
        }
    }

    void Store(const SecretKey& key, std::string_view label, std::string_view secret) override {
        ServicePtr service = Connect();
        GError* raw = nullptr;
        ValuePtr value(
            secret_value_new(std::string(secret).c_str(), static_cast<gssize>(secret.size()), "text/plain"));
        const std::string text(label);
        const gboolean stored =
            secret_service_store_sync(service.get(), Schema(), Attributes(key).get(),
                                      SECRET_COLLECTION_DEFAULT, text.c_str(), value.get(), nullptr, &raw);
        ErrorPtr error(raw);
        if (stored) return;
        if (error && g_error_matches(error.get(), SECRET_ERROR, SECRET_ERROR_IS_LOCKED)) Locked();
        Unreachable(error.get());
    }

    std::optional<std::string> Lookup(const SecretKey& key) override {
        ServicePtr service = Connect();
        ListPtr items = Items(service.get(), key);
        if (!items) return std::nullopt;
        auto* item = static_cast<SecretItem*>(items->data);
        if (secret_item_get_locked(item)) Locked();
        ValuePtr value(secret_item_get_secret(item));
        if (!value) Locked();
        gsize size = 0;
        const gchar* bytes = secret_value_get(value.get(), &size);
        return std::string(bytes, size);
    }

    void Remove(const SecretKey& key) override {
        ServicePtr service = Connect();
        GError* raw = nullptr;
        secret_service_clear_sync(service.get(), Schema(), Attributes(key).get(), nullptr, &raw);
        ErrorPtr error(raw);
        if (!error) return;
        if (g_error_matches(error.get(), SECRET_ERROR, SECRET_ERROR_IS_LOCKED)) Locked();
        Unreachable(error.get());
    }
};

}  // namespace

SecretStore& SystemSecretStore() {
    static SystemStore store;
    return store;
}
