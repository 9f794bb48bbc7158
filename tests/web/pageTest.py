#!/usr/bin/python3
"""The browser page in Debian's headless Chromium, driven as a user would.

Usage: pageTest.py SITE_DIR SOURCE_DIR [KAVRIN_CHECK] [SCREENSHOT.png]
Serves SITE_DIR on 127.0.0.1, checks the examples and hostile files through
the file input, and compares each record with kavrin-check --json when its
path is given. Prints one line per case and 'N passed, M failed' at the end.
"""
import base64
import functools
import hashlib
import json
import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

site, source = sys.argv[1], os.path.abspath(sys.argv[2])
checker = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 and sys.argv[3] else None
screenshot = sys.argv[4] if len(sys.argv) > 4 else None
scratch = tempfile.mkdtemp(prefix='kavrin-web-')
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(source, 'web'))
import serve  # noqa: E402  the server of make web-serve


def serving(folder, headers=True):
    started = serve.server(folder, headers=headers, quiet=True)
    threading.Thread(target=started.serve_forever, daemon=True).start()
    return started, f'http://127.0.0.1:{started.server_address[1]}'


server, origin = serving(site)
url = origin + '/index.html'

options = webdriver.ChromeOptions()
options.binary_location = '/usr/bin/chromium'
for flag in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync',
             '--window-size=1000,900', f'--user-data-dir={scratch}/profile'):
    options.add_argument(flag)
driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
wait = WebDriverWait(driver, 20)
passed = failed = 0


def in_worker(expression):
    """The value of the expression in the page's checking worker, through DevTools on a bare WebSocket."""
    here = driver.current_url.rsplit('/', 1)[0] + '/worker.js'
    target = [t for t in driver.execute_cdp_cmd('Target.getTargets', {})['targetInfos']
              if t['type'] == 'worker' and t['attached'] and t['url'] == here][-1]['targetId']
    address = driver.capabilities['goog:chromeOptions']['debuggerAddress']
    with socket.create_connection(tuple(address.split(':'))) as connection:
        connection.sendall((f'GET /devtools/page/{target} HTTP/1.1\r\nHost: {address}\r\nUpgrade: websocket\r\n'
                            'Connection: Upgrade\r\nSec-WebSocket-Version: 13\r\n'
                            f'Sec-WebSocket-Key: {base64.b64encode(os.urandom(16)).decode()}\r\n\r\n').encode())
        stream = connection.makefile('rb')
        while stream.readline() != b'\r\n':
            pass
        # The policy's ban on eval holds for what is evaluated here too.
        message = json.dumps({'id': 1, 'method': 'Runtime.evaluate', 'params': {'expression': expression,
                              'awaitPromise': True, 'returnByValue': True, 'allowUnsafeEvalBlockedByCSP': False}})
        connection.sendall(b'\x81\xfe' + struct.pack('>H', len(message)) + bytes(4) + message.encode())  # mask 0
        while True:
            length = stream.read(2)[1] & 0x7F
            if length >= 126:
                length = struct.unpack('>H' if length == 126 else '>Q', stream.read(2 if length == 126 else 8))[0]
            answer = json.loads(stream.read(length))
            if answer.get('id') == 1:
                return answer['result']['result'].get('value')


def case(name):
    def run(body):
        global passed, failed
        try:
            body()
            passed += 1
            print(f'ok   {name}')
        except Exception as error:  # a failed case is reported, the others still run
            failed += 1
            print(f'FAIL {name}: {type(error).__name__}: {error}')
    return run


def write(name, data):
    path = os.path.join(scratch, name)
    with open(path, 'wb') as out:
        out.write(data)
    return path


def choose(*paths):
    driver.get(url)
    wait.until(lambda d: d.execute_script('return document.readyState') == 'complete')
    field = driver.find_element(By.ID, 'files')
    started = time.perf_counter()
    field.send_keys('\n'.join(paths))
    wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
    return time.perf_counter() - started


def results():
    return driver.find_elements(By.CSS_SELECTOR, '#results > li')


def lines(item):
    return [(row.find_element(By.CLASS_NAME, 'number').text, row.find_element(By.CLASS_NAME, 'text').text)
            for row in item.find_elements(By.CLASS_NAME, 'line')]


def expect(condition, what):
    if not condition:
        raise AssertionError(what)


example = functools.partial(os.path.join, source, 'examples')


@case('page loads, in German, with its policy, also as the header of every file as the docs send it')
def _():
    driver.get(url)
    expect(driver.title.startswith('Kavrin'), driver.title)
    expect(driver.find_element(By.ID, 'summary').text == 'Noch keine Datei geprüft.', 'summary')
    policy = driver.find_element(By.CSS_SELECTOR, 'meta[http-equiv="Content-Security-Policy"]')
    expect("default-src 'self'" in policy.get_attribute('content'), 'policy')
    header = serve.policy_of(site)
    for name in [''] + os.listdir(site):
        with urllib.request.urlopen(f'{origin}/{name}') as response:
            expect(response.headers['Content-Security-Policy'] == header, name)
    with open(os.path.join(source, 'docs', 'web.md'), encoding='utf-8') as docs:
        expect(docs.read().count(header) == 2, 'the nginx and Apache snippets send another policy')


@case('a correct and a broken example')
def _():
    choose(example('korrekt-47-ziro.tzv'), example('fehler-zahl-zu-gross.tzv'))
    good, bad = results()
    expect('correct' in good.get_attribute('class'), 'correct style')
    expect(good.find_element(By.CLASS_NAME, 'message').text == 'Datei korrekt. Tipps nun spielbar.', good.text)
    expect(bad.find_element(By.CLASS_NAME, 'message').text.startswith(
        'Die Datei enthält in der Zeile 8, Spalte 30 Inhalte'), bad.text)
    expect(bad.find_element(By.CLASS_NAME, 'reason').text.startswith('Grund: 46 ist zu groß'), bad.text)
    expect(bad.find_element(By.TAG_NAME, 'mark').text == '46', 'mark')
    expect([number for number, _ in lines(bad)] == [str(n) for n in range(5, 12)], lines(bad))
    summary = driver.find_element(By.ID, 'summary').text
    expect(summary == '2 Dateien geprüft: 1 korrekt, 1 mit Verstoß.', summary)


@case('umlauts before the mark')
def _():
    path = write('umlaute.tzv', '<uvra>\n<versionsNr>4.0</versionsNr><wsArt>47</wsArt>\n'
                 '<schein><!-- äöü --><ziroTipp>01,02,03,04,05,46</ziroTipp></schein>\n</uvra>\n'.encode())
    choose(path)
    item = results()[0]
    expect(item.find_element(By.CLASS_NAME, 'message').text.startswith(
        'Die Datei enthält in der Zeile 3, Spalte 49 '), item.text)
    expect(item.find_element(By.TAG_NAME, 'mark').text == '46', 'mark')
    rows = lines(item)
    expect(rows[2] == ('3', '<schein><!-- äöü --><ziroTipp>01,02,03,04,05,46</ziroTipp></schein>'), rows)
    expect([n for n, _ in rows][:4] == ['1', '2', '3', '4'], rows)


@case('hostile content and name stay text')
def _():
    path = write('<img src=x onerror="window.pwned=1">.tzv',
                 b'<uvra><script>window.pwned=1</script><img src=x onerror="window.pwned=1">')
    choose(path)
    item = results()[0]
    expect(driver.execute_script('return window.pwned') is None, 'script ran')
    expect(item.find_elements(By.TAG_NAME, 'img') == [] and item.find_elements(By.TAG_NAME, 'script') == [],
           'markup injected')
    expect('<img src=x' in item.find_element(By.TAG_NAME, 'h3').text, 'name shown as text')


@case('a file over 4 MiB gets the size message')
def _():
    path = write('gross.tzv', b' ' * 5000000)
    choose(path)
    item = results()[0]
    expect('größer als 4MB' in item.find_element(By.CLASS_NAME, 'message').text, item.text)
    expect('5.000.000 Bytes' in item.find_element(By.CLASS_NAME, 'reason').text, item.text)


@case('a 4 MiB file is checked and shown quickly')
def _():
    tip = '    <ziroTipp>01,02,03,04,05,06</ziroTipp>\n'
    ticket = '  <schein>\n' + tip * 12 + '  </schein>\n'
    head = '<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>47</wsArt>\n'
    last = '  <schein>\n' + tip * 11 + '    <ziroTipp>01,02,03,04,05,46</ziroTipp>\n  </schein>\n</uvra>\n'
    body = head + ticket * 999
    text = body + '<!--' + ' ' * (4194304 - len(body) - len(last) - 8) + '-->\n' + last
    path = write('vier.tzv', text.encode())
    choose(path)  # loads the page and the module first
    timings, checks = [], []
    for _ in range(5):
        driver.execute_script('document.getElementById("summary").textContent = ""')
        field = driver.find_element(By.ID, 'files')
        driver.execute_script('arguments[0].value = ""', field)
        field.send_keys(path)
        wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
        wait.until(lambda d: d.execute_script('return document.body.dataset.shownAfter') is not None)
        timings.append(float(driver.execute_script('return document.body.dataset.shownAfter')))
        checks.append(float(driver.execute_script('return document.body.dataset.checkedIn')))
        driver.execute_script('delete document.body.dataset.shownAfter')
    expect(results()[0].find_element(By.TAG_NAME, 'mark').text == '46', 'mark')
    print(f'     4 MiB file, chosen to shown: best {min(timings):.0f} ms, median {sorted(timings)[2]:.0f} ms;'
          f' the check in the worker: median {sorted(checks)[2]:.0f} ms')
    if checker:
        # The same file through the native program, whole process, side by side.
        native = []
        for _ in range(5):
            started = time.perf_counter()
            subprocess.run([checker, '--json', '--all', path], capture_output=True)
            native.append((time.perf_counter() - started) * 1000)
        print(f'     the same file through kavrin-check --json --all, whole process: median {sorted(native)[2]:.0f} ms')


@case('no request leaves the page\'s own origin')
def _():
    origins = driver.execute_script(
        'return performance.getEntriesByType("resource").map(e => new URL(e.name).origin)')
    expect(all(origin == url.rsplit('/', 1)[0] for origin in origins), origins)


@case('records agree with kavrin-check --json')
def _():
    if not checker:
        print('     (no kavrin-check given)')
        return
    names = sorted(f for f in os.listdir(example()) if f.endswith('.tzv'))
    data = [os.path.join(source, 'tests', 'data', f) for f in sorted(os.listdir(os.path.join(source, 'tests', 'data')))]
    paths = [example(f) for f in names] + data
    # A lone CR inside the marked part: the terminal keeps it on its numbered line.
    paths.append(write('cr-in-mark.tzv', b'<uvra>\n<versionsNr>4.0</versionsNr>\n<wsArt>47</wsArt>\n<schein>\n'
                       b'<ziroTipp>01,02\r03\r04\r05,06\n07</ziroTipp>\n</schein>\n</uvra>\n'))
    choose(*paths)
    for path, item in zip(paths, results()):
        message = item.find_element(By.CLASS_NAME, 'message').text
        record = json.loads(subprocess.run([checker, '--json', path], capture_output=True, text=True).stdout)
        expect(record['message'] == message, f'{path}: {message!r} != {record["message"]!r}')
        terminal = subprocess.run([checker, path], capture_output=True, text=True,
                                  env={**os.environ, 'COLUMNS': '9999'}).stdout
        lines = re.findall(r'^ *(\d+) \| (.*)$', terminal, re.M)
        shown = driver.execute_script("""return [...(arguments[0].querySelector(':scope > .excerpt')?.children ?? [])]
            .map((row) => { const text = row.querySelector('.text').cloneNode(true);
                            text.querySelector('.line-break')?.remove();
                            return [row.querySelector('.number').textContent, text.textContent]; });""", item)
        # A line longer than the page's window is shown in part, with „…“ at the cuts.
        agree = len(shown) == len(lines) and all(number == line[0] and all(part in line[1] for part in text.split('…'))
                                                 for (number, text), line in zip(shown, lines))
        expect(agree, f'{path}: {shown} != {lines}')


def choose_again(*paths):
    """Chooses on the page as it stands, without loading it anew."""
    driver.execute_script('document.getElementById("summary").textContent = ""')
    driver.find_element(By.ID, 'files').send_keys('\n'.join(paths))
    wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)


def shown(item):
    reason = item.find_elements(By.CLASS_NAME, 'reason')
    code = item.find_elements(By.CLASS_NAME, 'code')
    return (item.find_element(By.CLASS_NAME, 'message').text, reason[0].text if reason else '',
            code[0].text if code else '')


def expected(path):
    """What kavrin-check says for the file under the name the page sees: its own."""
    record = json.loads(subprocess.run([checker, '--json', os.path.basename(path)], cwd=os.path.dirname(path),
                                       capture_output=True, text=True).stdout)
    reason = f'Grund: {record["reason"]} {record["code"]}' if record['reason'] else ''
    return record['message'], reason, record['code'] or ''


@case('a wrong name gets the record kavrin-check gives it')
def _():
    correct = open(example('korrekt-47-ziro.tzv'), 'rb').read()
    paths = [write(name, correct) for name in ('x.xml', 'gross.TZV', 'gemischt.Tzv', '.tzv', 'richtig.tzv')]
    choose(*paths)
    for path, item in zip(paths, results()):
        expect(shown(item) == expected(path), f'{path}: {shown(item)} != {expected(path)}')
    summary = driver.find_element(By.ID, 'summary').text
    expect(summary == '5 Dateien geprüft: 1 korrekt, 4 mit Verstoß.', summary)


@case('pasted text is checked without a name, and says so')
def _():
    driver.get(url)
    driver.find_element(By.ID, 'pasted').send_keys(open(example('korrekt-47-ziro.tzv'), encoding='utf-8').read())
    driver.find_element(By.ID, 'check-pasted').click()
    wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
    summary = driver.find_element(By.ID, 'summary').text
    expect('ohne Dateinamen' in summary and 'korrekt' in summary, summary)


@case('a newer choice replaces an older one, and the same file is checked again')
def _():
    broken = write('wieder.tzv', open(example('fehler-zahl-zu-gross.tzv'), 'rb').read())
    many = [example('korrekt-47-ziro.tzv')] * 41
    driver.get(url)
    wait.until(lambda d: d.execute_script('return document.readyState') == 'complete')
    field = driver.find_element(By.ID, 'files')
    field.send_keys('\n'.join(many))
    field.send_keys(broken)
    wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
    time.sleep(0.5)  # late results of the first round would arrive now
    summary = driver.find_element(By.ID, 'summary').text
    expect(summary.startswith('1 Datei geprüft: mit Verstoß.') and len(results()) == 1, (summary, len(results())))
    write('wieder.tzv', open(example('korrekt-47-ziro.tzv'), 'rb').read())
    choose_again(broken)
    summary = driver.find_element(By.ID, 'summary').text
    expect(summary.startswith('1 Datei geprüft: korrekt.'), summary)


@case('a file that cannot be read ends its round with cannot-open')
def _():
    driver.get(url)
    wait.until(lambda d: d.execute_script('return document.readyState') == 'complete')
    # A dropped folder, or a file removed after the choice: its bytes cannot be read.
    driver.execute_script("""
        const unreadable = (name) => ({ name, size: 4096,
            slice: () => ({ arrayBuffer: () => Promise.reject(new DOMException('gone', 'NotReadableError')) }) });
        const drop = new Event('drop', { cancelable: true });
        Object.defineProperty(drop, 'dataTransfer', { value: { files: [unreadable('ordner.tzv'),
            unreadable('ordner.xml')] } });
        document.dispatchEvent(drop);""")
    wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
    folder, named = results()
    expect(folder.get_attribute('data-code') == 'cannot-open', folder.text)
    expect('Konnte Datei nicht öffnen.' in folder.text and 'nicht lesen' in folder.text, folder.text)
    expect(named.get_attribute('data-code') == 'wrong-file-name', named.text)


@case('a long line shows a window around its mark, quickly, also on a phone')
def _():
    head = '<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt>'
    tip = '<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>'
    last = '<schein><ziroTipp>01,02,03,04,05,46</ziroTipp></schein></uvra>'
    text = head + '<!--' + ' ' * (4194304 - len(head) - len(last) - 7 - 3 * len(tip)) + '-->' + tip * 3 + last
    path = write('eine-zeile.tzv', text.encode())
    driver.set_window_size(390, 844)
    try:
        choose(path)
        timings, checks = [], []
        for _ in range(3):
            driver.execute_script('delete document.body.dataset.shownAfter')
            choose_again(path)
            wait.until(lambda d: d.execute_script('return document.body.dataset.shownAfter') is not None)
            timings.append(float(driver.execute_script('return document.body.dataset.shownAfter')))
            checks.append(float(driver.execute_script('return document.body.dataset.checkedIn')))
        item = results()[0]
        mark = item.find_element(By.TAG_NAME, 'mark')
        expect(mark.text == '46', mark.text)
        expect(len(item.find_element(By.CLASS_NAME, 'text').text) < 400, 'line not windowed')
        visible = driver.execute_script("""
            const r = arguments[0].getBoundingClientRect();
            return r.left >= 0 && r.right <= innerWidth && r.top >= 0 && r.bottom <= innerHeight;""", mark)
        expect(visible, 'mark off screen')
        expect(driver.execute_script('return document.activeElement === arguments[0]', item), 'result not focused')
        print(f'     4 MiB single line at 390 px, chosen to shown: median {sorted(timings)[1]:.0f} ms;'
              f' the check in the worker: median {sorted(checks)[1]:.0f} ms')
    finally:
        driver.set_window_size(1000, 900)


@case('a 4 MiB line with 12,000 violations gets its verdict, its list cut at the limit')
def _():
    head = '<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt>'
    ticket = '<schein>' + '<ziroTipp>01,02,03,04,05,46</ziroTipp>' * 12 + '</schein>'
    body = ticket * 1000
    text = head + body + '<!--' + 'x' * (4194304 - len(head) - len(body) - 7 - 7) + '--></uvra>'
    path = write('viele-verstoesse.tzv', text.encode())
    driver.execute_script('delete document.body.dataset.shownAfter')
    choose(path)
    wait.until(lambda d: d.execute_script('return document.body.dataset.shownAfter') is not None)
    item = results()[0]
    expect(item.get_attribute('data-code') == 'number-out-of-range', item.text[:200])
    expect('999 weitere Verstöße (Grenze erreicht)' in item.text, item.text[:400])
    print(f'     4 MiB line with 12,000 violations, chosen to shown:'
          f' {float(driver.execute_script("return document.body.dataset.shownAfter")):.0f} ms;'
          f' the check in the worker: {float(driver.execute_script("return document.body.dataset.checkedIn")):.0f} ms')


@case('a mark over a line break is drawn as a symbol')
def _():
    path = write('umbruch.tzv', b'<uvra>\n<versionsNr>4.0</versionsNr>\n<wsArt>47</wsArt>\n<schein>\n'
                 b'<ziroTipp>01,02,03,04,05,06</ziroTipp>\n</schein>\n</uvra>\n\n')
    choose(path)
    for item in results():
        for mark in item.find_elements(By.TAG_NAME, 'mark'):
            expect(mark.text.strip() != '', f'invisible mark in {item.text}')


@case('the code is shown and a single result is announced')
def _():
    choose(example('fehler-zahl-zu-gross.tzv'))
    item = results()[0]
    expect(item.find_element(By.CLASS_NAME, 'code').text == item.get_attribute('data-code'), item.text)
    spoken = driver.find_element(By.ID, 'summary').get_attribute('textContent')
    expect('Zeile 8, Spalte 30' in spoken and 'Grund: 46 ist zu groß' in spoken, spoken)
    name = driver.execute_script('return arguments[0].labels[0].textContent', driver.find_element(By.ID, 'files'))
    expect('Dateien auswählen' in name, name)


@case('opened as a file, the page says that it must be served')
def _():
    driver.get('file://' + os.path.abspath(os.path.join(site, 'index.html')))
    hint = driver.find_element(By.ID, 'served-hint')
    WebDriverWait(driver, 5).until(lambda d: hint.is_displayed())
    expect('make web-serve' in hint.text, hint.text)
    driver.get(url)
    time.sleep(2)
    expect(not driver.find_elements(By.ID, 'served-hint'), 'hint shown when served')


@case('further violations can be opened, and a correct file says what it holds')
def _():
    tip = lambda numbers: '<ziroTipp>' + numbers + '</ziroTipp>'
    path = write('mehrere.tzv', ('<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein>' + tip('01,02,03,04,05,46')
                                 + tip('01,02,03,04,41,33') + '</schein></uvra>').encode())
    choose(path, example('korrekt-47-ziro.tzv'))
    broken, good = results()
    more = broken.find_element(By.CSS_SELECTOR, 'details.more')
    expect(more.find_element(By.TAG_NAME, 'summary').text == '1 weiterer Verstoß', more.text)
    more.find_element(By.TAG_NAME, 'summary').click()
    expect('33 steht nach 41' in more.text, more.text)
    expect(good.find_element(By.CLASS_NAME, 'summary').text.startswith('2 Scheine, 3 Tipps, Spielart 47'), good.text)


@case('a repairable file gives a corrected copy to download, which checks correct')
def _():
    downloads = os.path.join(scratch, 'downloads')
    os.makedirs(downloads, exist_ok=True)
    original = example('fehler-korrigierbar.tzv')
    choose(original)
    driver.execute_cdp_cmd('Browser.setDownloadBehavior', {'behavior': 'allow', 'downloadPath': downloads})
    item = results()[0]
    repair = item.find_element(By.CLASS_NAME, 'repair')
    summary = repair.find_element(By.CLASS_NAME, 'repair-summary').text
    expect(summary == '5 Korrekturen; die korrigierte Fassung ist korrekt.', summary)
    expect(len(repair.find_elements(By.CSS_SELECTOR, '.changes li')) == 5, repair.text)
    expect(repair.find_element(By.CSS_SELECTOR, '.copy-result .message').text == 'Datei korrekt. Tipps nun spielbar.',
           repair.text)
    repair.find_element(By.CLASS_NAME, 'download').click()
    copy = os.path.join(downloads, 'fehler-korrigierbar-korrigiert.tzv')
    WebDriverWait(driver, 10).until(lambda d: os.path.exists(copy))
    with open(copy, 'rb') as got:
        data = got.read()
    if checker:
        expected = subprocess.run([checker, '--repair', original], capture_output=True).stdout
        expect(data == expected, 'the download differs from kavrin-check --repair')
    choose(copy)
    verdict = results()[0].find_element(By.CLASS_NAME, 'message').text
    expect(verdict == 'Datei korrekt. Tipps nun spielbar.', verdict)
    expect(not results()[0].find_elements(By.CLASS_NAME, 'repair'), 'a correct file offers no repair')


@case('installable as an app, with its service worker active')
def _():
    driver.get(url)
    state = driver.execute_async_script(
        'const done = arguments[0];'
        'navigator.serviceWorker.ready.then((r) => done(r.active && r.active.state));')
    expect(state == 'activated', state)
    errors = driver.execute_cdp_cmd('Page.getInstallabilityErrors', {})['installabilityErrors']
    expect(errors == [], errors)
    manifest = driver.execute_cdp_cmd('Page.getAppManifest', {})
    expect(manifest['errors'] == [], manifest['errors'])
    data = json.loads(manifest['data'])
    expect(data['file_handlers'][0]['accept'] == {'application/x-kavrin-tzv': ['.tzv']}, data['file_handlers'])


@case('a new version served with old Last-Modified replaces every file in the cache, and says so once')
def _():
    copy = os.path.join(scratch, 'site-copy')
    shutil.copytree(site, copy)
    # A static host: Last-Modified two days back and no Cache-Control, so the
    # browser takes its copies of version 1 for fresh.
    two_days_ago = time.time() - 2 * 86400
    for name in os.listdir(copy):
        os.utime(os.path.join(copy, name), (two_days_ago, two_days_ago))
    worker = os.path.join(copy, 'serviceWorker.js')
    with open(worker) as old:
        text = old.read()
    files = json.loads(re.search(r'const siteFiles = (\{.*\});', text).group(1))
    other, other_origin = serving(copy)
    try:
        page = other_origin + '/index.html'
        status = lambda: driver.find_element(By.ID, 'app-status').text
        driver.get(page)
        driver.execute_async_script('navigator.serviceWorker.ready.then(() => arguments[0]())')
        driver.get(page)
        expect(driver.execute_script('return Boolean(navigator.serviceWorker.controller)'), 'not controlled')
        expect(status() == '', status())
        # Version 2: every file changed, each still good of its kind.
        tails = {'.wasm': b'\x00\x05\x04neu2', '.png': b'neu', '.webmanifest': b' ', '.html': b'<!-- neu -->',
                 '.svg': b'<!-- neu -->'}
        changed = {}
        for name in files:
            with open(os.path.join(copy, name), 'rb') as old:
                changed[name] = old.read() + tails.get(os.path.splitext(name)[1], b'\n/* neu */\n')
            files[name] = hashlib.sha256(changed[name]).hexdigest()

        def publish(names):
            for name in names:
                with open(os.path.join(copy, name), 'wb') as new:
                    new.write(changed[name])
        publish(name for name in files if name != './page.js')
        with open(worker, 'w') as new:
            new.write(text.replace(re.search(r'\{.*\}', text).group(0), json.dumps(files))
                      .replace("'kavrin-", "'kavrin-neu", 1))
        caches = lambda: driver.execute_async_script('caches.keys().then(arguments[0])')
        # Half-way through the update the host still has the old page.js: the new worker is not installed.
        state = driver.execute_async_script("""
            const done = arguments[0];
            navigator.serviceWorker.getRegistration().then(async (registration) => {
              await registration.update();
              const worker = registration.installing;
              worker.onstatechange = () => ['redundant', 'activated'].includes(worker.state) && done(worker.state);
            });""")
        expect(state == 'redundant' and not caches()[0].startswith('kavrin-neu'), f'{state} {caches()}')
        publish(['./page.js'])
        driver.get(page)
        WebDriverWait(driver, 10).until(lambda d: status() == 'Neue Version geladen')
        # The controller changes as the new worker activates; the old cache
        # goes while it does.
        WebDriverWait(driver, 10).until(lambda d: len(caches()) == 1)
        expect(caches()[0].startswith('kavrin-neu'), caches())
        kept = driver.execute_async_script("""
            const [names, done] = arguments;
            const hex = (digest) => [...new Uint8Array(digest)].map((b) => b.toString(16).padStart(2, '0')).join('');
            Promise.all(names.map(async (name) => {
              const kept = await caches.match(name);
              return kept && hex(await crypto.subtle.digest('SHA-256', await kept.arrayBuffer()));
            })).then(done);""", ['./'] + list(files))
        expect(kept == [files['./index.html']] + list(files.values()), f'not the files of version 2: {kept}')
        driver.get(page)
        time.sleep(1)
        expect(status() == '', 'said again: ' + status())
    finally:
        other.shutdown()
        other.server_close()


@case('the launch queue checks each file by itself, and names the one it cannot read')
def _():
    hook = driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': (
        "Object.defineProperty(window, 'launchQueue', {configurable: true,"
        " value: {setConsumer(consumer) { window.kavrinLaunch = consumer; }}});")})
    try:
        driver.get(url)
        wait.until(lambda d: d.execute_script('return typeof window.kavrinLaunch') == 'function')
        with open(example('fehler-zahl-zu-gross.tzv'), 'rb') as given:
            data = list(given.read())
        # Real handles of the page's own storage, one of a file removed before it is read.
        driver.execute_async_script("""
            const [bytes, done] = arguments;
            navigator.storage.getDirectory().then(async (folder) => {
              const [gone, given] = await Promise.all(['weg.tzv', 'doppelklick.tzv']
                .map((name) => folder.getFileHandle(name, { create: true })));
              await folder.removeEntry('weg.tzv');
              const out = await given.createWritable();
              await out.write(new Uint8Array(bytes));
              await out.close();
              window.kavrinLaunch({ files: [gone, given] });
            }).then(done);""", data)
        wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
        gone, given = results()
        expect(gone.get_attribute('data-code') == 'cannot-open' and 'weg.tzv' in gone.text, gone.text)
        expect(given.find_element(By.CLASS_NAME, 'name').text == 'doppelklick.tzv', given.text)
        expect(given.find_element(By.TAG_NAME, 'mark').text == '46', given.text)
    finally:
        driver.execute_cdp_cmd('Page.removeScriptToEvaluateOnNewDocument', {'identifier': hook['identifier']})


@case('a file deleted, or a link broken, after the choice cannot be opened')
def _():
    link = os.path.join(scratch, 'verweis.tzv')
    for chosen in ('weg.tzv', link):
        target = write('weg.tzv', open(example('korrekt-47-ziro.tzv'), 'rb').read())
        if chosen == link:
            os.symlink(target, link)
        driver.get(url)
        # The page reads as it is told of the choice: the news is held until the file is gone.
        driver.execute_script("addEventListener('change', (e) => e.stopImmediatePropagation(), "
                              "{ capture: true, once: true })")
        driver.find_element(By.ID, 'files').send_keys(os.path.join(scratch, chosen))
        os.remove(target)
        driver.execute_script("document.getElementById('files').dispatchEvent(new Event('change'))")
        wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
        item = results()[0]
        expect(item.get_attribute('data-code') == 'cannot-open' and 'Konnte Datei nicht öffnen.' in item.text,
               f'{chosen}: {item.text}')


@case('a worker that throws or is killed answers at once, and the next file gets its verdict')
def _():
    failure = 'Nicht geprüft: Der Prüfer ist mit einem Fehler abgebrochen.'
    rows = [("JSON.parse = () => { throw new WebAssembly.Exception(new WebAssembly.Tag({ parameters: [] }), []); }",
             [failure]),
            ('setTimeout(() => self.close())', [failure, 'Die Datei enthält in der Zeile 8, Spalte 30']),
            ]
    path = example('fehler-zahl-zu-gross.tzv')
    for how, answers in rows:
        choose(path)
        in_worker(how)
        choose_again(path)
        message = results()[0].find_element(By.CLASS_NAME, 'message').text
        expect(any(message.startswith(answer) for answer in answers), f'{how}: {message}')
        if message.startswith(failure):
            summary = driver.find_element(By.ID, 'summary').text
            expect(summary == '1 Datei nicht geprüft.', summary)
        choose_again(path)
        expect(results()[0].find_elements(By.TAG_NAME, 'mark'), f'{how}: no verdict after it')


@case('the worker can neither reach another origin nor run text as code, with the header and without')
def _():
    bare, bare_origin = serving(site, headers=False)
    try:
        for page, elsewhere in ((url, bare_origin), (bare_origin + '/index.html', origin)):
            driver.get(page)
            WebDriverWait(driver, 10, ignored_exceptions=[IndexError]).until(
                lambda d: in_worker('typeof fetch') == 'undefined')
            tried = in_worker(f'Promise.allSettled([() => fetch("{elsewhere}/", {{ mode: "no-cors" }}), () => eval("1"),'
                              ' () => Function("return 1")()].map(async (attempt) => attempt()))'
                              '.then((all) => all.map((one) => one.status))')
            expect(tried == ['rejected'] * 3, f'{page}: {tried}')
    finally:
        bare.shutdown()
        bare.server_close()


@case('text dropped on the paste field goes into it; only files are offered to be checked')
def _():
    driver.get(url)
    field = driver.find_element(By.ID, 'pasted')
    x, y = driver.execute_script('const r = arguments[0].getBoundingClientRect(); return [r.x + 20, r.y + 20]', field)
    hint = lambda: driver.find_element(By.ID, 'drop-hint').is_displayed()
    rows = [({'items': [{'mimeType': 'text/plain', 'data': '<uvra>'}]}, False),
            ({'items': [], 'files': [example('fehler-zahl-zu-gross.tzv')]}, True)]
    for data, files in rows:
        for kind in ('dragEnter', 'dragOver', 'drop'):
            if kind == 'drop':
                expect(hint() == files, f'{data}: hint {hint()}')
            driver.execute_cdp_cmd('Input.dispatchDragEvent', {'type': kind, 'x': x, 'y': y,
                                                               'data': {**data, 'dragOperationsMask': 1}})
    wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
    expect(field.get_attribute('value') == '<uvra>', field.get_attribute('value'))
    expect(results()[0].find_element(By.TAG_NAME, 'mark').text == '46', results()[0].text)


@case('at 320 and 390 px the numbers stay beside the mark and the code label stays whole')
def _():
    text = ('<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><!--' + ' ' * 90
            + '--><schein><ziroTipp>01,02,03,05,04,06</ziroTipp></schein></uvra>\n')
    path = write('breit.tzv', text.encode())
    try:
        for width in (320, 390):
            driver.set_window_size(width, 800)
            choose(path)
            placed = driver.execute_script("""
                const item = arguments[0], box = (e) => item.querySelector(e).getBoundingClientRect();
                const excerpt = box('.excerpt'), number = box('.number'), mark = box('mark');
                return [innerWidth <= arguments[1], item.querySelector('.excerpt').scrollLeft > 0,
                        number.left >= excerpt.left && number.right <= mark.left && mark.right <= excerpt.right,
                        item.querySelector('.code').getClientRects().length];""", results()[0], width)
            expect(placed == [True, True, True, 1], f'{width} px: {placed}')
    finally:
        driver.set_window_size(1000, 900)


@case('hidden characters in a name are named as the reasons name them')
def _():
    rows = [('a\u200bb.tzv', 'a[U+200B (unsichtbares Leerzeichen)]b.tzv'),
            ('c\u0085d.tzv', 'c[U+0085 (Steuerzeichen)]d.tzv'),
            ('e\x01\tf.tzv', 'e[Byte 0x01][Tabulator]f.tzv'),
            ('g\u202eh.tzv', 'g[U+202E (Schreibrichtungszeichen)]h.tzv')]
    driver.get(url)
    driver.execute_script("""
        const drop = new Event('drop', { cancelable: true });
        Object.defineProperty(drop, 'dataTransfer', { value: { files: arguments[0].map((n) => new File(['x'], n)) } });
        document.dispatchEvent(drop);""", [name for name, _ in rows])
    wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
    shown = [item.find_element(By.TAG_NAME, 'h3').get_attribute('textContent') for item in results()]
    expect(shown == [named for _, named in rows], shown)


@case("the text follows the user's font size, and every text stands in a landmark")
def _():
    driver.execute_cdp_cmd('Page.setFontSizes', {'fontSizes': {'standard': 24}})
    try:
        driver.get(url)
        size = driver.execute_script('return getComputedStyle(document.body).fontSize')
        expect(size == '24px', size)
    finally:
        driver.execute_cdp_cmd('Page.setFontSizes', {'fontSizes': {'standard': 16}})
    outside = driver.execute_script("""
        for (const id of ['install', 'app-status']) document.getElementById(id).hidden = false;
        document.getElementById('app-status').textContent = 'Neue Version geladen';
        const texts = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
        const outside = [];
        for (let text; (text = texts.nextNode());)
          if (text.data.trim() && text.parentElement.checkVisibility()
              && !text.parentElement.closest('header, main, footer, nav, aside')) outside.push(text.data.trim());
        return outside;""")
    expect(outside == [], outside)


# The editor, „Neue Tippdatei“: driven by the keyboard, its downloads checked by kavrin-check.
downloads = os.path.join(scratch, 'editor-downloads')
os.makedirs(downloads, exist_ok=True)


def editor(picker=False):
    """The editor on a fresh page; without picker, saving downloads as in browsers without the File System Access API."""
    driver.get('about:blank')  # a new page, not only a new address in the same one
    driver.get(url + '#neu')
    wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, '#game-choice input')) == 3)
    if not picker:
        driver.execute_script('delete window.showSaveFilePicker')
    driver.execute_cdp_cmd('Browser.setDownloadBehavior', {'behavior': 'allow', 'downloadPath': downloads})
    for name in os.listdir(downloads):
        os.remove(os.path.join(downloads, name))


def keys(*pressed):
    ActionChains(driver).send_keys(*pressed).perform()


def save_and_check(name):
    """Saves with Enter on „Speichern“; the download, checked by kavrin-check, and what the page says of it."""
    field = driver.find_element(By.ID, 'file-name')
    field.send_keys(Keys.CONTROL, 'a')
    field.send_keys(name)
    driver.find_element(By.ID, 'save').send_keys(Keys.ENTER)
    path = os.path.join(downloads, name + '.tzv')
    WebDriverWait(driver, 10).until(lambda d: os.path.exists(path) and 'korrekt' in d.find_element(By.ID, 'save-result').text)
    said = driver.find_element(By.ID, 'save-result').text
    expect(said.startswith(f'Gespeichert als „{name}.tzv“.\nDatei korrekt. Tipps nun spielbar.\n'), said)
    if not checker:
        return None
    exported = subprocess.run([checker, '--export', path], capture_output=True, text=True)
    expect(exported.returncode == 0, exported.stderr)
    data = json.loads(exported.stdout)
    del data['file']
    return data


def data_of(path):
    data = json.loads(subprocess.run([checker, '--export', path], capture_output=True, text=True).stdout)
    del data['file']
    return data


def active():
    return driver.switch_to.active_element


@case('the editor makes a file of each game from empty, by keyboard, and kavrin-check finds it correct')
def _():
    editor()
    # 6 aus 45: the game by the arrow keys, a number of the header typed, numbers chosen in the grid and typed,
    # a second ticket with a Quicktipp.
    radios = driver.find_elements(By.CSS_SELECTOR, '#game-choice input')
    radios[2].send_keys(Keys.ARROW_RIGHT)
    expect(radios[0].is_selected(), 'the arrow goes round to the first game')
    driver.find_element(By.ID, 'field-kundenNr').send_keys('4711')
    driver.find_element(By.CSS_SELECTOR, '.tip .cells input').send_keys(Keys.SPACE)
    keys(Keys.ARROW_RIGHT, Keys.ARROW_RIGHT, Keys.SPACE, Keys.ARROW_DOWN, Keys.SPACE, Keys.END, Keys.SPACE)
    typed = driver.find_element(By.CSS_SELECTOR, '.tip .typed')
    expect(typed.get_attribute('value') == '1, 3, 12, 45', typed.get_attribute('value'))
    typed.send_keys(', 20, 21')
    driver.find_element(By.ID, 'add-ticket').send_keys(Keys.ENTER)
    expect(active().get_attribute('type') == 'checkbox', 'the new tip has the focus')
    driver.find_elements(By.CSS_SELECTOR, '.tip .quick')[1].send_keys(Keys.ENTER)
    data = save_and_check('sechs')
    if data:
        expect(data['kundenNr'] == 4711 and data['wsArt'] == 47, data)
        expect(data['schein'][0] == {'ziroTipp': [[1, 3, 12, 20, 21, 45]]} and len(data['schein']) == 2, data)

    # 5 aus 50 plus 2 aus 12: numbers and stars typed.
    editor()
    driver.find_elements(By.CSS_SELECTOR, '#game-choice input')[0].send_keys(Keys.ARROW_RIGHT)
    numbers, stars = driver.find_elements(By.CSS_SELECTOR, '.tip .typed')
    numbers.send_keys('50 7 13 22 41')
    stars.send_keys('11,2')
    data = save_and_check('fuenf')
    if data:
        expect(data['schein'] == [{'tipp': [{'vexTippZahl': [7, 13, 22, 41, 50], 'vexTippStern': [2, 11]}]}], data)

    # Ergebniswette: the 18 fields typed, one after the other, a second row and a goal-score tip by Quicktipp.
    editor()
    driver.find_elements(By.CSS_SELECTOR, '#game-choice input')[0].send_keys(Keys.ARROW_LEFT)
    row = '1X211-2X-11-2-X-12'
    driver.find_element(By.CSS_SELECTOR, '.tip select').send_keys(row[0])
    for symbol in row[1:]:
        keys(Keys.TAB, symbol)
    driver.find_element(By.CSS_SELECTOR, '.add-tip').send_keys(Keys.ENTER)
    driver.find_elements(By.CSS_SELECTOR, '.tip .quick')[1].send_keys(Keys.ENTER)
    driver.find_element(By.CSS_SELECTOR, '.add-goal').send_keys(Keys.ENTER)
    driver.find_element(By.CSS_SELECTOR, '.goal .quick').send_keys(Keys.ENTER)
    data = save_and_check('pool')
    if data:
        tickets = data['schein']
        expect(data['versionsNr'] == '3.0' and tickets[0]['fenuTipp'][0] == list(row), data)
        expect(len(tickets[0]['fenuTipp']) == 2 and len(tickets[0]['brakelTipp']) == 5, data)


@case('every correct example opens in the editor and saves unchanged in data')
def _():
    if not checker:
        print('     (no kavrin-check given)')
        return
    candidates = [example(f) for f in sorted(os.listdir(example()))] + [
        os.path.join(source, 'tests', 'data', f) for f in sorted(os.listdir(os.path.join(source, 'tests', 'data')))]
    correct = [path for path in candidates if subprocess.run([checker, '-q', path]).returncode == 0]
    expect(len(correct) >= 11, correct)
    for path in correct:
        editor()
        driver.find_element(By.ID, 'open-file').send_keys(path)
        opened = os.path.basename(path)
        wait.until(lambda d: opened in d.find_element(By.ID, 'editor-status').text)
        name = opened[:-len('.tzv')]
        expect(driver.find_element(By.ID, 'file-name').get_attribute('value') == name, name)
        expect(save_and_check(name) == data_of(path), f'{path}: the data changed')


@case('a file with a violation opens in the checker, with its repair')
def _():
    editor()
    driver.find_element(By.ID, 'open-file').send_keys(example('fehler-korrigierbar.tzv'))
    wait.until(lambda d: 'geprüft' in d.find_element(By.ID, 'summary').text)
    expect(driver.execute_script('return location.hash') == '#pruefen', 'not the checker')
    expect(not driver.find_element(By.ID, 'editor-view').is_displayed(), 'the editor still shown')
    expect(results()[0].find_elements(By.CLASS_NAME, 'repair'), 'no repair')


@case('the editor says each rule as a value is typed, and where the data breaks one when saving')
def _():
    editor()
    driver.find_elements(By.CSS_SELECTOR, '#game-choice input')[0].send_keys(Keys.SPACE)
    rows = [('field-kundenNr', '0', '<kundenNr> muss zwischen 1 und 999999 liegen; „0“ ist zu klein.'),
            ('field-tnDauer', '11', '<tnDauer> muss bei Spielart 47 (6 aus 45) zwischen 1 und 10 liegen'),
            ('field-filter', 'AB12,ab', 'Ein Code in <filter> hat nur A–Z ohne Umlaute und Ziffern'),
            ('field-versionsNr', '3.0', '<versionsNr> „3.0“ passt nicht zu Spielart 47 (6 aus 45)'),
            ('field-ziroPlus', '1', '<ziroPlus> gibt es erst ab Version 4.x')]
    for field, typed, said in rows:
        box = driver.find_element(By.ID, field)
        box.send_keys(Keys.CONTROL, 'a')
        box.send_keys(typed)
        verdict = driver.find_element(By.ID, field + '-verdict')
        WebDriverWait(driver, 5).until(lambda d: said in verdict.text)
        expect(box.get_attribute('aria-invalid') == 'true', field)
        expect(verdict.get_attribute('id') in box.get_attribute('aria-describedby'), field)
    driver.find_element(By.ID, 'save').send_keys(Keys.ENTER)
    WebDriverWait(driver, 5).until(lambda d: 'Nicht gespeichert' in d.find_element(By.ID, 'save-result').text)
    expect(active().get_attribute('id') == 'field-versionsNr', 'the first faulty field is not focused')
    # A pool row that breaks the rule of its dashes says so, in the check's words.
    editor()
    driver.find_elements(By.CSS_SELECTOR, '#game-choice input')[0].send_keys(Keys.ARROW_LEFT)
    driver.find_element(By.CSS_SELECTOR, '.tip select').send_keys('1')
    for symbol in '1X211-2X-11-2-X112':
        keys(Keys.TAB, symbol)
    state = driver.find_element(By.CSS_SELECTOR, '.tip-state')
    WebDriverWait(driver, 5).until(lambda d: 'genau fünf „-“, diese hat 4' in state.text)


@case('saved through the File System Access API, the file is the one written, and the page says so')
def _():
    editor(picker=True)
    driver.execute_script("""
        window.kavrinSaved = [];
        window.showSaveFilePicker = async ({ suggestedName }) => ({ name: 'gewählt.tzv', createWritable: async () => ({
            write: async (bytes) => window.kavrinSaved.push(...bytes), close: async () => {} }) });""")
    driver.find_elements(By.CSS_SELECTOR, '#game-choice input')[0].send_keys(Keys.SPACE)
    driver.find_element(By.CSS_SELECTOR, '.tip .quick').send_keys(Keys.ENTER)
    driver.find_element(By.ID, 'save').send_keys(Keys.ENTER)
    WebDriverWait(driver, 5).until(lambda d: 'korrekt' in d.find_element(By.ID, 'save-result').text)
    expect('Gespeichert als „gewählt.tzv“.' in driver.find_element(By.ID, 'save-result').text, 'name')
    saved = bytes(driver.execute_script('return window.kavrinSaved'))
    expect(saved.startswith(b'<?xml version="1.0" encoding="UTF-8"?>\n<uvra>\n  <versionsNr>4.0</versionsNr>\n'),
           saved[:80])
    expect(os.listdir(downloads) == [], 'downloaded as well')


@case('the editor fits a phone and a desktop, and every control has a name')
def _():
    for width in (390, 1000):
        driver.set_window_size(width, 900)
        try:
            editor()
            driver.find_elements(By.CSS_SELECTOR, '#game-choice input')[0].send_keys(Keys.ARROW_RIGHT)
            driver.find_element(By.CSS_SELECTOR, '.tip .quick').send_keys(Keys.ENTER)
            fits = driver.execute_script('return document.documentElement.scrollWidth <= innerWidth')
            expect(fits, f'{width} px: wider than the window')
            unnamed = driver.execute_script("""
                return [...document.querySelectorAll('#editor-view input, #editor-view select, #editor-view button')]
                  .filter((c) => !(c.labels?.length || c.getAttribute('aria-label') || c.textContent.trim()))
                  .map((c) => c.outerHTML.slice(0, 80));""")
            expect(unnamed == [], unnamed)
            if screenshot:
                driver.save_screenshot(screenshot.replace('.png', f'-editor-{width}.png'))
        finally:
            driver.set_window_size(1000, 900)


if screenshot:
    choose(example('fehler-zahl-zu-gross.tzv'), example('korrekt-34-vex.tzv'))
    driver.set_window_size(900, 1500)
    driver.save_screenshot(screenshot)



@case('after one visit, the page loads and checks with the server gone')
def _():
    driver.get(url)
    driver.execute_async_script('navigator.serviceWorker.ready.then(() => arguments[0]())')
    server.shutdown()
    server.server_close()
    choose(example('fehler-zahl-zu-gross.tzv'))
    item = results()[0]
    expect(item.find_element(By.TAG_NAME, 'mark').text == '46', item.text)


driver.quit()
print(f'{passed} passed, {failed} failed')
sys.exit(1 if failed else 0)
