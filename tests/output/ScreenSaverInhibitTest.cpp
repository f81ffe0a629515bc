// Holding the screen saver off over a session bus that the test starts itself (dbus-daemon)
// with a small screen-saver service of its own: no service, no hold and no harm; with the
// service, Inhibit gives a cookie and UnInhibit hands the same cookie back.
#include "output/slideshow/ScreenSaverInhibit.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// A private session bus for the test; the address is empty when dbus-daemon could not start.
class PrivateBus {
public:
    PrivateBus() {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            close(out[0]);
            execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1", nullptr);
            _exit(127);
        }
        close(out[1]);
        char buffer[512];
        std::string line;
        ssize_t n;
        while (line.find('\n') == std::string::npos && (n = read(out[0], buffer, sizeof buffer)) > 0)
            line.append(buffer, std::size_t(n));
        close(out[0]);
        if (line.find('\n') != std::string::npos) address_ = line.substr(0, line.find('\n'));
    }
    ~PrivateBus() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Address() const { return address_; }

private:
    pid_t pid_ = -1;
    std::string address_;
};

// The desktop's screen-saver service, as far as Inhibit and UnInhibit go, on its own thread.
class FakeScreenSaver {
public:
    explicit FakeScreenSaver(const std::string& address) : address_(address) {
        thread_ = std::thread([this] { Run(); });
        for (int i = 0; i < 500 && !ready_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~FakeScreenSaver() {
        while (!loop_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        g_main_loop_quit(loop_);
        thread_.join();
    }
    bool Ready() const { return ready_; }
    std::atomic<int> inhibits{0}, uninhibits{0};
    std::atomic<guint32> releasedCookie{0};

private:
    static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                       GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
        auto* self = static_cast<FakeScreenSaver*>(data);
        if (g_strcmp0(method, "Inhibit") == 0) {
            ++self->inhibits;
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", guint32(4242)));
        } else {
            guint32 cookie = 0;
            g_variant_get(parameters, "(u)", &cookie);
            self->releasedCookie = cookie;
            ++self->uninhibits;
            g_dbus_method_invocation_return_value(invocation, nullptr);
        }
    }
    void Run() {
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        GMainLoop* loop = g_main_loop_new(context, false);
        GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
            address_.c_str(),
            GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        static const char kXml[] =
            "<node><interface name='org.freedesktop.ScreenSaver'>"
            "<method name='Inhibit'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
            "<arg type='u' direction='out'/></method>"
            "<method name='UnInhibit'><arg type='u' direction='in'/></method>"
            "</interface></node>";
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kXml, nullptr);
        static const GDBusInterfaceVTable kVTable = {&FakeScreenSaver::OnCall, nullptr, nullptr, {}};
        if (bus && node) {
            g_dbus_connection_register_object(bus, "/org/freedesktop/ScreenSaver", node->interfaces[0], &kVTable, this,
                                              nullptr, nullptr);
            GVariant* reply = g_dbus_connection_call_sync(
                bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                g_variant_new("(su)", "org.freedesktop.ScreenSaver", 0u), nullptr, G_DBUS_CALL_FLAGS_NONE, 2000,
                nullptr, nullptr);
            if (reply) {
                g_variant_unref(reply);
                ready_ = true;
            }
        }
        loop_ = loop;
        g_main_loop_run(loop);
        if (node) g_dbus_node_info_unref(node);
        if (bus) {
            g_dbus_connection_close_sync(bus, nullptr, nullptr);
            g_object_unref(bus);
        }
        g_main_loop_unref(loop);
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    }

    std::string address_;
    std::thread thread_;
    std::atomic<bool> ready_{false};
    std::atomic<GMainLoop*> loop_{nullptr};
};

TEST(ScreenSaverInhibit, HoldsOffThroughTheServiceAndFailsSoftWithoutIt) {
    PrivateBus bus;
    if (bus.Address().empty()) GTEST_SKIP() << "dbus-daemon is not installed";
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);

    {
        ScreenSaverInhibit none;
        EXPECT_FALSE(none.Hold("test")) << "no screen-saver service on the bus";
        EXPECT_FALSE(none.Held());
        none.Release();
    }

    FakeScreenSaver service(bus.Address());
    ASSERT_TRUE(service.Ready());
    {
        ScreenSaverInhibit hold;
        EXPECT_TRUE(hold.Hold("test"));
        EXPECT_TRUE(hold.Held());
        EXPECT_TRUE(hold.Hold("again")) << "a second hold asks nothing more";
        EXPECT_EQ(1, service.inhibits.load());
        hold.Release();
        EXPECT_FALSE(hold.Held());
        EXPECT_EQ(1, service.uninhibits.load());
        EXPECT_EQ(4242u, service.releasedCookie.load());
        EXPECT_TRUE(hold.Hold("test"));
    }
    EXPECT_EQ(2, service.uninhibits.load()) << "a hold still taken is given back when it goes";
}

}  // namespace
