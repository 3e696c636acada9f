#pragma once
// The socket layer for the process's life. Windows Sockets 2 must be started before the first socket
// and cleaned up after the last; on Linux there is nothing to start, and starting means that a UDP
// socket can be created.
namespace pelmora {

class SocketLayer {
public:
    SocketLayer();
    // Windows cleans its socket layer up here; the Linux one has nothing to end.
    ~SocketLayer();  // NOLINT(performance-trivially-destructible)
    SocketLayer(const SocketLayer&) = delete;
    SocketLayer& operator=(const SocketLayer&) = delete;
    SocketLayer(SocketLayer&&) = delete;
    SocketLayer& operator=(SocketLayer&&) = delete;

    // False: no socket can be used, and the program says "Windows sockets initialization failed.".
    bool Started() const { return m_started; }

private:
    bool m_started = false;
};

}  // namespace pelmora
