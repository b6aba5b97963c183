#!/usr/bin/env python3
"""Opens the support form in headless chromium and compares the text of its <pre> and
<textarea>, as the page's DOM gives it, with the inserted block as the HTML parser reads it.

browser_check.py TEMPLATE FORM INSTALL_DIRECTORY SCREENSHOT

FORM is TEMPLATE with one block inserted before "</pre>" and in place of "{}", and one zero
byte at the end. The parser turns entities into their characters and drops one line feed at
the start of a <pre> (the template has one before the block) and of a <textarea> (the block
starts with one). INSTALL_DIRECTORY must appear, as written, on the line after the block's
"Install Directory" banner. Saves a picture of the rendered form to SCREENSHOT."""
import html
import json
import pathlib
import subprocess
import sys
import tempfile
import urllib.parse

CHROMIUM = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars"]


def browser(arguments, profile):
    result = subprocess.run(CHROMIUM + ["--user-data-dir=" + profile] + arguments,
                            capture_output=True, timeout=120)
    if result.returncode != 0:
        sys.exit("chromium failed:\n" + result.stderr.decode(errors="replace")[-2000:])
    return result.stdout.decode()


def main():
    template_path, form_path, install, screenshot = sys.argv[1:5]
    template = pathlib.Path(template_path).read_bytes()
    form = pathlib.Path(form_path).read_bytes()
    pre, marker = template.index(b"</pre>"), template.index(b"{}")
    length = (len(form) - 1 - (len(template) - 2)) // 2
    block = form[pre:pre + length]
    rebuilt = template[:pre] + block + template[pre:marker] + block + template[marker + 2:] + b"\0"
    if form != rebuilt:
        sys.exit("the form is not the template with one block inserted twice")
    parsed = html.unescape(block.decode("utf-8").replace("\r\n", "\n").replace("\r", "\n"))
    if not parsed.startswith("\n"):
        sys.exit("the block does not start with a line feed")
    expected = {"pre": parsed, "textarea": parsed[1:], "value": parsed[1:]}
    banner = "\n/----- Install Directory "
    line = parsed[parsed.index("\n", parsed.index(banner) + 1) + 1:].split("\n", 1)[0]
    if line != install:
        sys.exit("the block names the installation %r, not %r" % (line, install))

    form_url = pathlib.Path(form_path).resolve().as_uri()
    with tempfile.TemporaryDirectory() as folder:
        # A page of our own reads the form's DOM from a frame and writes what it read into itself.
        reader = pathlib.Path(folder, "reader.html")
        reader.write_text("""<!DOCTYPE html><meta charset="utf-8"><iframe id="form" src="%s"></iframe>
<script>
document.getElementById("form").addEventListener("load", function () {
  var page = this.contentDocument, area = page.getElementById("environment");
  var out = document.createElement("pre");
  out.id = "dom";
  out.textContent = encodeURIComponent(JSON.stringify({
    pre: page.querySelector("pre.facts").textContent, textarea: area.textContent, value: area.value}));
  document.body.appendChild(out);
});
</script>""" % html.escape(form_url), encoding="utf-8")
        dump = browser(["--allow-file-access-from-files", "--dump-dom", reader.as_uri()],
                       str(pathlib.Path(folder, "profile-dom")))
        start = dump.find('<pre id="dom">')
        if start < 0:
            sys.exit("the reader page got no DOM from the form:\n" + dump[-2000:])
        seen = json.loads(urllib.parse.unquote(dump[start + 14:dump.index("</pre>", start)]))
        browser(["--screenshot=" + str(pathlib.Path(screenshot).resolve()), "--window-size=1000,2600", form_url],
                str(pathlib.Path(folder, "profile-shot")))
    status = 0
    for name in ("pre", "textarea", "value"):
        if seen[name] == expected[name]:
            print("%s: the DOM's text is the block as parsed (%d characters)" % (name, len(seen[name])))
        else:
            print("%s: the DOM's text differs:\n--- seen\n%s\n--- expected\n%s" % (name, seen[name], expected[name]))
            status = 1
    print("install directory as the page shows it: " + line)
    print("screenshot: " + screenshot)
    return status


if __name__ == "__main__":
    sys.exit(main())
