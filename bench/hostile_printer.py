#!/usr/bin/env python3
"""A printer that misbehaves, for measuring softswitch-script (not a test).
Needs python3 (Debian's python3; scripts/setup.sh does not install it).

bench/hostile_printer.py BIN MODE [SECONDS]    (BIN: build/bin)
  flood-tcp / flood-com: the peer floods bytes for SECONDS (default 8) after a
      Communication Test; prints the driver's peak RSS (VmHWM).
  stall-tcp / stall-com / stall-lpt: the emulator answers through a relay
      until the Communication Test is over, then the relay takes nothing
      (TCP: stops reading, and Fonts Tests are repeated, up to TESTS=6000, until
      its window is full; COM and LPT: the terminal's output is stopped, as
      XOFF stops it); prints how long the Fonts Test took to give up, or that
      it was still sending after CAP=40 seconds.
"""
import os, pty, select, socket, subprocess, sys, tempfile, termios, threading, time, tty

BIN, MODE = sys.argv[1], sys.argv[2]
SECONDS = float(sys.argv[3]) if len(sys.argv) > 3 else 8.0
stop = threading.Event()
marks = {}
CAP = float(os.environ.get("CAP", "40"))
stalled = threading.Event()

def hwm(pid):
    try:
        for line in open(f"/proc/{pid}/status"):
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    except OSError:
        pass
    return 0

def run_driver(args, script, watch):
    drv = subprocess.Popen([f"{BIN}/softswitch-script", *args, "-"], stdin=subprocess.PIPE,
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    def feed():  # a long script fills the pipe while the driver's output waits to be read
        drv.stdin.write(script.encode())
        drv.stdin.close()
    threading.Thread(target=feed, daemon=True).start()
    peak, lines = 0, []
    os.set_blocking(drv.stdout.fileno(), False)
    buf = b""
    while drv.poll() is None:
        if "gaveup" in marks:
            drv.kill()
            break
        if "tested" in marks and time.monotonic() - marks["tested"] > CAP:
            marks["capped"] = True
            drv.kill()
            break
        peak = max(peak, hwm(drv.pid))
        r, _, _ = select.select([drv.stdout], [], [], 0.05)
        if r:
            chunk = drv.stdout.read() or b""
            buf += chunk
            while b"\n" in buf:
                line, buf = buf.split(b"\n", 1)
                lines.append((time.monotonic(), line.decode("latin-1")))
                watch(lines[-1])
    rest = drv.stdout.read() or b""
    for line in (buf + rest).split(b"\n"):
        if line:
            lines.append((time.monotonic(), line.decode("latin-1")))
    return peak, lines

def flood(fd_write):
    chunk = b"x" * 65536
    while not stop.is_set():
        try:
            fd_write(chunk)
        except (BlockingIOError, InterruptedError):
            time.sleep(0.001)
        except OSError:
            return

def emulator():
    emu = subprocess.Popen([f"{BIN}/printer-emulator", "--tcp", "127.0.0.1:0", "--set", "model=KR-5050",
                            "--set", "sw4=128"], stdout=subprocess.PIPE, text=True)
    port = int(emu.stdout.readline().split(":")[-1])
    return emu, socket.create_connection(("127.0.0.1", port))

def pump(read_driver, write_driver, printer, driver_fd):
    """Relay until stalled; afterwards only what the printer says goes back."""
    while not stop.is_set():
        fds = [printer] + ([] if stalled.is_set() else [driver_fd])
        r, _, _ = select.select(fds, [], [], 0.05)
        for f in r:
            if f is printer:
                data = printer.recv(4096)
                if data: write_driver(data)
            else:
                try:
                    data = read_driver()
                except OSError:
                    data = b""
                if data: printer.sendall(data)

link = MODE.split("-")[1]
if link == "tcp":
    server = socket.socket(); server.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1)
    server.bind(("127.0.0.1", 0)); server.listen(1)
    port = server.getsockname()[1]
    pick = f"pick Combo1 TCP/IP\ntype tcpIP 127.0.0.1\ntype tcpListenPort {port}\n"
    args = []
else:
    master, slave = pty.openpty(); tty.setraw(slave)
    os.set_blocking(master, False)
    name = os.ttyname(slave)
    pick = "pick Combo1 COM1\nclick com_HS_SW\n" if link == "com" else "pick Combo1 LPT1\n"
    args = ["--com", f"1={name}"] if link == "com" else ["--lpt", name]

if MODE.startswith("flood"):
    script = pick + f"click cmdCommunicate\nwait {int(SECONDS * 1000)}\ndump MakerString\n"
    def start():
        if link == "tcp":
            peer, _ = server.accept()
            peer.setblocking(False)
            flood(peer.send)
        else:
            flood(lambda b: os.write(master, b))
    threading.Thread(target=start, daemon=True).start()
    peak, lines = run_driver(args, script, lambda l: None)
    stop.set()
    print(f"{MODE}: peak RSS of softswitch-script {peak / 1024:.1f} MiB over {SECONDS:.0f} s")
    sys.exit(0)

# stall: the emulator answers the Communication Test, then the link takes nothing.
if link == "tcp":
    emu, printer = emulator()
else:
    os.close(master); os.close(slave)
    name = os.path.join(tempfile.mkdtemp(), "ttyPRINTER")
    emu = subprocess.Popen([f"{BIN}/printer-emulator", "--tcp", "127.0.0.1:0", "--pty", name, "--set",
                            "model=KR-5050", "--set", "sw4=128"], stdout=subprocess.PIPE, text=True)
    emu.stdout.readline(); emu.stdout.readline()
    args = ["--com", f"1={name}"] if link == "com" else ["--lpt", name]
tests = int(os.environ.get("TESTS", "6000")) if link == "tcp" else 1
script = pick + "click cmdCommunicate\ndump MakerString\nwait 1000\n" + "click cmd02\ndump SettingsChanged\n" * tests
def serve():
    peer, _ = server.accept()
    pump(lambda: peer.recv(4096), peer.sendall, printer, peer)
if link == "tcp":
    threading.Thread(target=serve, daemon=True).start()
def watch(entry):
    t, line = entry
    if line.startswith("MakerString=") and not stalled.is_set():
        marks["tested"] = t
        if link != "tcp":  # output stopped, as the driver stops it on XOFF
            marks["fd"] = os.open(name, os.O_RDWR | os.O_NOCTTY)
            termios.tcflow(marks["fd"], termios.TCOOFF)
        stalled.set()
    elif line.startswith("SettingsChanged="):
        marks["last"] = t
        if "gaveup" not in marks:
            marks["count"] = marks.get("count", 0) + 1
    elif "could not be sent" in line and "gaveup" not in marks:
        marks["gaveup"] = t
        marks["before"] = marks.get("last", marks["tested"] + 1.0)
peak, lines = run_driver(args, script, watch)
stop.set(); emu.terminate()
if "gaveup" in marks:
    print(f"{MODE}: the Fonts Test gave up after {marks['gaveup'] - marks['before']:.2f} s "
          f"(after {marks.get('count', 0)} whole Fonts Tests); peak RSS {peak / 1024:.1f} MiB")
elif marks.get("capped"):
    print(f"{MODE}: the Fonts Test was still sending {CAP - 1:.0f} s after it started ({marks.get('count', 0)} ended); "
          f"peak RSS {peak / 1024:.1f} MiB")
else:
    print(f"{MODE}: no Fonts Test gave up; {marks.get('count', 0)} ended, the last "
          f"{marks.get('last', 0) - marks['tested']:.1f} s after the Communication Test; peak RSS {peak / 1024:.1f} MiB")
for t, l in (lines if os.environ.get("ALL") else []):  # ALL=1: the driver's output too
    print("  ", l[:200])
