# SPDX-License-Identifier: MIT
# Runs a command on a pseudo-terminal of its own, as a terminal user would, and keeps every byte it
# writes there. Usage: pty_run.py OUT ACTION COMMAND...
#   ACTION: "none", or "ctrl-c" or "sigterm" once the password prompt shows.
# Prints "status=N echo=on|off": the exit status (negative: the signal) and the terminal's echo after.
import fcntl, os, select, signal, subprocess, sys, termios, time

out, action, command = sys.argv[1], sys.argv[2], sys.argv[3:]
master, slave = os.openpty()


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
        else:
            child.send_signal(signal.SIGTERM)
if child.poll() is None:
    child.kill()
child.wait()
with open(out, "wb") as f:
    f.write(screen)
echo = termios.tcgetattr(slave)[3] & termios.ECHO
print(f"status={child.returncode} echo={'on' if echo else 'off'}")
