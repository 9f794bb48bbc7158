// The page: reads the chosen, dropped or pasted bytes, has the worker check
// them, and shows each result as the window does. Everything from a file, its
// name too, reaches the page as text only, never as markup.
const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });
const pending = new Map();
let nextId = 0;
// The checker's size limit, as the worker reports it once it has loaded.
let reportLimit;
const limit = new Promise((resolve) => { reportLimit = resolve; });

worker.onmessage = (event) => {
  if (event.data.limit !== undefined) return reportLimit(event.data.limit);
  const { id, result } = event.data;
  pending.get(id)(result);
  pending.delete(id);
};

function checkBytes(name, bytes, wholeSize) {
  const id = nextId++;
  return new Promise((resolve) => {
    pending.set(id, resolve);
    worker.postMessage({ id, name, bytes, wholeSize }, [bytes]);
  });
}

// A file over the limit is read no further than one byte past it.
async function checkFile(file) {
  const bytes = await file.slice(0, (await limit) + 1).arrayBuffer();
  return checkBytes(file.name, bytes, file.size);
}

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

// The excerpt's view lines end at CR LF, LF or a lone CR; lineBlocks names
// the view lines that begin a numbered line.
function excerptView(excerpt, lineBlocks) {
  const view = element('div', 'excerpt');
  view.setAttribute('role', 'group');
  view.setAttribute('aria-label', 'Auszug um die fehlerhafte Stelle');
  const text = excerpt.text;
  const [markFrom, markTo] = excerpt.highlight;
  const numbered = new Map(lineBlocks.map((block, index) => [block, excerpt.firstLine + index]));
  let start = 0;
  for (let block = 0; start <= text.length; ++block) {
    let stop = start;
    while (stop < text.length && text[stop] !== '\r' && text[stop] !== '\n') ++stop;
    const breakLength = text.startsWith('\r\n', stop) ? 2 : stop < text.length ? 1 : 0;
    if (breakLength === 0 && start === stop && block > 0) break; // no empty line after the last break
    const line = element('div', 'line');
    const number = numbered.get(block);
    line.append(element('span', 'number', number === undefined ? '' : String(number)));
    const content = element('span', 'text');
    const from = Math.min(Math.max(markFrom, start), stop);
    const to = Math.min(Math.max(markTo, start), stop);
    content.append(document.createTextNode(text.slice(start, from)));
    if (to > from) content.append(element('mark', '', text.slice(from, to)));
    content.append(document.createTextNode(text.slice(to, stop)));
    line.append(content);
    view.append(line);
    if (breakLength === 0) break;
    start = stop + breakLength;
  }
  return view;
}

async function copyText(text, button) {
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    const area = element('textarea');
    area.value = text;
    document.body.append(area);
    area.select();
    document.execCommand('copy');
    area.remove();
  }
  button.textContent = 'Kopiert';
  setTimeout(() => { button.textContent = 'Auszug kopieren'; }, 1500);
}

function resultItem(name, { record, lineBlocks }) {
  const item = element('li', record.valid ? 'result correct' : 'result');
  item.dataset.code = record.code ?? '';
  item.append(element('h3', 'name', name));
  item.append(element('p', 'message', record.message));
  if (record.reason) item.append(element('p', 'reason', 'Grund: ' + record.reason));
  if (record.excerpt) {
    item.append(excerptView(record.excerpt, lineBlocks));
    const copy = element('button', 'copy', 'Auszug kopieren');
    copy.type = 'button';
    const plain = record.excerpt.text.replace(/\r\n?/g, '\n').replace(/\n$/, '');
    copy.addEventListener('click', () => copyText(plain, copy));
    item.append(copy);
  }
  return item;
}

const results = document.getElementById('results');
const summary = document.getElementById('summary');

async function checkAll(entries) {
  if (entries.length === 0) return;
  const started = performance.now();
  summary.textContent = entries.length === 1 ? 'Prüfe 1 Datei …' : `Prüfe ${entries.length} Dateien …`;
  results.replaceChildren();
  let correct = 0;
  for (const { name, check } of entries) {
    const result = await check();
    document.body.dataset.checkedIn = String(result.milliseconds);
    if (result.record.valid) ++correct;
    results.append(resultItem(name, result));
  }
  const broken = entries.length - correct;
  summary.textContent = entries.length === 1
    ? `1 Datei geprüft: ${correct ? 'korrekt' : 'mit Verstoß'}.`
    : `${entries.length} Dateien geprüft: ${correct} korrekt, ${broken} mit Verstoß.`;
  // For the browser tests: from the choice to the result shown, and the
  // check alone.
  requestAnimationFrame(() => {
    document.body.dataset.shownAfter = String(performance.now() - started);
  });
}

function checkFiles(files) {
  checkAll([...files].map((file) => ({ name: file.name, check: () => checkFile(file) })));
}

document.getElementById('files').addEventListener('change', (event) => checkFiles(event.target.files));

document.getElementById('check-pasted').addEventListener('click', () => {
  const bytes = new TextEncoder().encode(document.getElementById('pasted').value).buffer;
  checkAll([{ name: 'Eingefügter Text', check: () => checkBytes('Eingefügter Text', bytes, 0) }]);
});

const dropHint = document.getElementById('drop-hint');
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  event.dataTransfer.dropEffect = 'copy';
  dropHint.hidden = false;
});
document.addEventListener('dragleave', (event) => {
  if (event.relatedTarget === null) dropHint.hidden = true;
});
document.addEventListener('drop', (event) => {
  event.preventDefault();
  dropHint.hidden = true;
  checkFiles(event.dataTransfer.files);
});
