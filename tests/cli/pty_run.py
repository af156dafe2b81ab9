# SPDX-License-Identifier: MIT
# Runs a command on a pseudo-terminal of its own, as a terminal user would, and keeps every byte it
# writes there. Usage: pty_run.py OUT ACTION COMMAND...
#   ACTION: "none", or "ctrl-c", "ctrl-d" or "sigterm" once the password prompt shows.
# PTY_COLUMNS sets the terminal's width.
# Prints "status=N echo=on|off": the exit status (negative: the signal) and the terminal's echo after.
import fcntl, os, select, signal, struct, subprocess, sys, termios, time

out, action, command = sys.argv[1], sys.argv[2], sys.argv[3:]
master, slave = os.openpty()
if os.environ.get("PTY_COLUMNS"):
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 24, int(os.environ["PTY_COLUMNS"]), 0, 0))


def controlling_terminal():
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


child = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave, preexec_fn=controlling_terminal)
screen = b""
acted = action == "none"
started = time.monotonic()
while time.monotonic() - started < 60:
    ready, _, _ = select.select([master], [], [], 0.1)
    if ready:
        screen += os.read(master, 65536)
    elif child.poll() is not None:
        break
    if not acted and b"Enter password: " in screen:
        acted = True
        if action == "ctrl-c":
            os.write(master, b"\x03")  # the line discipline sends SIGINT, as the key does
        elif action == "ctrl-d":
            time.sleep(0.2)  # after echo went off, which discards what was typed ahead
            os.write(master, b"\x04")
        else:
            child.send_signal(signal.SIGTERM)
if child.poll() is None:
    child.kill()
child.wait()
with open(out, "wb") as f:
    f.write(screen)
echo = termios.tcgetattr(slave)[3] & termios.ECHO
print(f"status={child.returncode} echo={'on' if echo else 'off'}")
