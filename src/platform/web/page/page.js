// The page around the program: builds the controls, the menu and the panel the program asks
// for, draws what it says, plays what it hands over, and passes the user's taps, keys and
// strokes to it one at a time. It decides nothing of its own.
'use strict';

// Control kinds as the program's control table gives them.
const kPushButton = 0, kLineText = 1, kPanelFrame = 2, kDisplayPanel = 3;
const kCmdQuit = 1078, kCmdSibling = 1214, kCmdCancel = 2, kCtlDisplayPanel = 1113;
const kModeButtonFirst = 1081, kModeButtonLast = 1084;
const kFromClick = 0, kFromAccelerator = 1;
const kinds = {mouse: 0, pen: 1, touch: 2};  // pointer kinds as the program numbers them
// The smallest client area whose keys are still about 9 mm (34 CSS pixels) each way: a
// smaller screen scrolls rather than shrink the keys.
const kMinClientWidth = 16 + 15 * 34, kMinClientHeight = 36 + 12 * 34;
// The program's own face first: the subset of IPAGothic the site carries (fonts/), so that a
// tablet without Japanese fonts of its own shows the same letters as the desktop.
const kOwnFace = 'Mojimori Gothic';
const kFaceStack = `"${kOwnFace}", "IPAGothic", "IPAexGothic", "Noto Sans Mono CJK JP", "Noto Sans CJK JP", ` +
  '"Hiragino Kaku Gothic ProN", "Yu Gothic", "MS Gothic", monospace';
const installed = matchMedia('(display-mode: standalone)').matches;

// ---- The program's own files, fetched at once while the script that runs them loads: the
// wasm, compiled as soon as it is here, and the data package (voices, strokes, pictures and
// the sample set), both gzipped where the browser can unpack gzip itself.
const canUnpack = typeof DecompressionStream == 'function';
async function fetchPacked(name) {
  const answer = await fetch(canUnpack ? name + '.gz' : name);
  if (!answer.ok) throw new Error(`${name}: ${answer.status}`);
  const bytes = new Uint8Array(await answer.arrayBuffer());
  // A host that labels .gz files Content-Encoding: gzip has had the browser unpack them.
  if (!canUnpack || bytes[0] != 0x1f || bytes[1] != 0x8b) return bytes;
  const unpacked = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Uint8Array(await new Response(unpacked).arrayBuffer());
}
// The files of a tar package (ustar, as the build writes it): [path, bytes] for each file.
function untar(bytes) {
  const names = new TextDecoder();
  const field = (at, length) => {
    let end = at;
    while (end < at + length && bytes[end]) ++end;
    return names.decode(bytes.subarray(at, end));
  };
  const files = [];
  for (let at = 0; at + 512 <= bytes.length;) {
    const name = field(at, 100);
    if (!name) break;  // the zero blocks at the end
    const size = parseInt(field(at + 124, 12).trim() || '0', 8);
    const type = bytes[at + 156];
    const prefix = field(at + 345, 155);
    at += 512;
    if (!(size >= 0) || at + size > bytes.length) throw new Error('the data package is cut short');
    if (type == 0x30 || type == 0) files.push([prefix ? `${prefix}/${name}` : name, bytes.subarray(at, at + size)]);
    at += Math.ceil(size / 512) * 512;
  }
  return files;
}
const programCode = fetchPacked('zel.wasm').then((bytes) => WebAssembly.compile(bytes));
const programData = fetchPacked('zel-data.tar').then(untar);

function cssColour(rgb) { return '#' + (rgb & 0xFFFFFF).toString(16).padStart(6, '0'); }

const zelPage = (() => {
  const client = document.getElementById('client');
  const menubar = document.getElementById('menubar');
  const controls = new Map();
  const menuItems = new Map();

  // ---- One event at a time, as a message loop hands them out: a call that waits (a message
  // box, a sound heard to its end) holds the ones after it.
  const queue = [];
  let busy = false;
  let paintWaiting = false;
  function enqueue(job) {
    return new Promise((resolve) => { queue.push({job, resolve}); runQueue(); });
  }
  function runQueue() {
    while (!busy && queue.length) {
      const {job, resolve} = queue.shift();
      busy = true;
      Promise.resolve(job()).then((value) => {
        busy = false;
        resolve(value);
        if (!queue.length && paintWaiting) { paintWaiting = false; panel.requestPaint(); }
        runQueue();
      }, (error) => { busy = false; console.error(error); runQueue(); });
    }
  }
  function call(name, args) {
    return Module.ccall(name, 'number', args.map(() => 'number'), args, {async: true});
  }
  function submit(name, ...args) { return enqueue(() => call(name, args)); }
  function command(id, notification) { return submit('zel_command', id, notification); }

  // ---- Controls, made from the program's control table.
  function addControl(id, kind, caption) {
    let element;
    if (kind == kPushButton) {
      element = document.createElement('button');
      element.type = 'button';
      const text = document.createElement('span');
      text.className = 'caption';
      text.textContent = caption;
      element.appendChild(text);
      if (id >= kModeButtonFirst && id <= kModeButtonLast) element.className = 'mode';
      if (id == kCmdQuit && !installed) element.classList.add('browser-hidden');
      element.addEventListener('click', () => { audio.unlock(); command(id, kFromClick); });
    } else if (kind == kLineText) {
      element = document.createElement('div');
      element.className = 'line-text';
      element.appendChild(document.createElement('span')).className = 'caption';
      element.setAttribute('role', 'textbox');
      element.setAttribute('aria-readonly', 'true');
      element.setAttribute('aria-multiline', 'true');
    } else if (kind == kPanelFrame) {
      element = document.createElement('div');
      element.className = 'panel-frame';
    } else {
      element = panel.canvas;
    }
    element.id = 'c' + id;
    client.appendChild(element);
    controls.set(id, element);
  }
  function setControlText(id, text) {
    const e = controls.get(id);
    if (e) (e.firstElementChild || e).textContent = text;
  }
  function showControl(id, visible) { const e = controls.get(id); if (e) e.hidden = !visible; }
  function moveControl(id, x, y, width, height) {
    const e = controls.get(id);
    if (!e) return;
    e.style.left = x + 'px'; e.style.top = y + 'px';
    e.style.width = width + 'px'; e.style.height = height + 'px';
    if (e === panel.canvas) panel.resize(width, height);
  }
  // A face the user chose, with the program's own stack behind it for what it lacks.
  function familyOf(font) { return font.defaultFace ? kFaceStack : `"${font.face}", ${kFaceStack}`; }
  function setKeyFont(font) {
    const family = familyOf(font);
    const style = client.style;
    style.setProperty('--key-family', family);
    const em = emOf(font.height, family);
    style.setProperty('--key-size', em + 'px');
    style.setProperty('--key-stretch', String(stretchOf(font.width, em, family)));
    style.setProperty('--key-weight', String(Math.min(Math.max(font.weight || 400, 1), 1000)));
    style.setProperty('--key-style', font.italic ? 'italic' : 'normal');
    style.setProperty('--key-decoration',
      [font.underline ? 'underline' : '', font.strikeOut ? 'line-through' : ''].join(' ').trim() || 'none');
  }
  // A font's height is its cell's, ascent and descent together: the face's own proportions
  // turn it into the em the page sizes fonts by.
  const cellRatios = new Map();
  const measure = document.createElement('canvas').getContext('2d');
  function cellRatio(family) {
    if (!cellRatios.has(family)) {
      measure.font = `100px ${family}`;
      const m = measure.measureText('あ');
      const cell = (m.fontBoundingBoxAscent || 88) + (m.fontBoundingBoxDescent || 12);
      cellRatios.set(family, {cell: cell / 100, ascent: (m.fontBoundingBoxAscent || 88) / 100,
                              x: measure.measureText('x').width / 100 || 0.5});
    }
    return cellRatios.get(family);
  }
  // The width is a half-width letter's: other widths than the face's own stretch it.
  function stretchOf(width, em, family) {
    if (!(width > 0)) return 1;
    return Math.min(Math.max(width / (cellRatio(family).x * em), 0.01), 40);
  }
  // A program font (its cell's height, a half-width letter's width, weight, italic, face) as
  // a canvas draws it: the CSS font, the em, the ascent and the cell in pixels, and the
  // stretch that gives the width.
  function canvasFont(font) {
    const family = familyOf(font);
    const size = emOf(font.height, family);
    const ratio = cellRatio(family);
    return {css: `${font.italic ? 'italic ' : ''}${font.weight || 400} ${size}px ${family}`, size,
            ascent: ratio.ascent * size, cell: ratio.cell * size, stretch: stretchOf(font.width, size, family)};
  }
  function emOf(height, family) { return Math.max(1, Math.floor(Math.max(height, 1) / cellRatio(family).cell)); }

  // ---- The menu, made from the program's menu table.
  let openMenu = null;
  function closeMenus() {
    if (!openMenu) return;
    openMenu.items.hidden = true;
    openMenu.title.setAttribute('aria-expanded', 'false');
    openMenu = null;
  }
  let currentMenu = null;
  function addMenu(title) {
    const menu = document.createElement('div');
    menu.className = 'menu';
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'menu-title';
    button.textContent = title;
    button.setAttribute('aria-haspopup', 'true');
    button.setAttribute('aria-expanded', 'false');
    const items = document.createElement('div');
    items.className = 'menu-items';
    items.setAttribute('role', 'menu');
    items.hidden = true;
    const entry = {title: button, items};
    button.addEventListener('click', (event) => {
      event.stopPropagation();
      const wasOpen = openMenu === entry;
      closeMenus();
      if (!wasOpen) { items.hidden = false; button.setAttribute('aria-expanded', 'true'); openMenu = entry; }
    });
    menu.append(button, items);
    menubar.appendChild(menu);
    currentMenu = items;
  }
  function makeMenuItem(id, text, checkable, checked) {
    if (!id) {
      const separator = document.createElement('div');
      separator.className = 'menu-separator';
      return separator;
    }
    const item = document.createElement('button');
    item.type = 'button';
    item.className = 'menu-item';
    item.textContent = text;
    item.setAttribute('role', checkable ? 'menuitemcheckbox' : 'menuitem');
    item.dataset.command = id;
    if (checkable) item.setAttribute('aria-checked', String(checked));
    // No other program to start, nothing to quit in a tab.
    if (id == kCmdSibling || (id == kCmdQuit && !installed)) item.classList.add('browser-hidden');
    item.addEventListener('click', (event) => {
      event.stopPropagation();
      closeMenus();
      audio.unlock();
      command(id, kFromClick);
    });
    menuItems.set(id, item);
    return item;
  }
  function addMenuItem(id, text, checkable, checked) {
    currentMenu.appendChild(makeMenuItem(id, text, checkable, checked));
  }
  function insertMenuItem(beforeId, id, text) {
    const before = menuItems.get(beforeId);
    if (before) before.parentNode.insertBefore(makeMenuItem(id, text, false, false), before);
  }
  function checkMenuItem(id, checked) {
    const item = menuItems.get(id);
    if (item) item.setAttribute('aria-checked', String(checked));
  }
  document.addEventListener('click', closeMenus);

  // ---- The display panel: a canvas that carries out the program's drawing steps.
  const panel = (() => {
    const canvas = document.createElement('canvas');
    canvas.setAttribute('role', 'img');
    const frame = document.createElement('canvas');  // drawn straight on, until the next repaint
    const ctxs = [canvas.getContext('2d'), frame.getContext('2d', {willReadFrequently: false})];
    const scratch = document.createElement('canvas');
    const scratchCtx = scratch.getContext('2d', {willReadFrequently: true});
    const pictures = new Map();
    let paintRequested = false;
    // The panel is drawn in the page's pixels (the program's), on a canvas of the screen's
    // own: a whole number of them to each, so that pixel-exact drawing stays exact.
    let scale = 1;
    function resize(width, height) {
      const ratio = Math.max(1, Math.round(window.devicePixelRatio || 1));
      if (canvas.width == width * ratio && canvas.height == height * ratio) return;
      canvas.width = width * ratio;
      canvas.height = height * ratio;
      scale = ratio;
      ctxs[0].setTransform(ratio, 0, 0, ratio, 0, 0);
      requestPaint();  // a canvas made anew is blank
    }
    // A canvas's pixels onto the panel, each as a square of the screen's, unsmoothed.
    function blit(source, left, top) {
      const ctx = ctxs[0];
      ctx.save();
      ctx.imageSmoothingEnabled = false;
      ctx.drawImage(source, left, top);
      ctx.restore();
    }
    const fieldCanvas = document.createElement('canvas');

    function pathOf(ctx, points) {
      ctx.beginPath();
      ctx.moveTo(points[0], points[1]);
      for (let i = 2; i < points.length; i += 2) ctx.lineTo(points[i], points[i + 1]);
    }
    function fill(target, left, top, width, height, colour) {
      const ctx = ctxs[target];
      ctx.fillStyle = cssColour(colour);
      ctx.fillRect(left, top, width, height);
    }
    function pen(target, points, width, colour, roundEnds) {
      const ctx = ctxs[target];
      ctx.save();
      ctx.strokeStyle = cssColour(colour);
      ctx.lineWidth = width;
      ctx.lineCap = roundEnds ? 'round' : 'butt';
      ctx.lineJoin = 'round';
      pathOf(ctx, points);
      ctx.stroke();
      ctx.restore();
    }
    function ellipse(target, left, top, right, bottom, fillColour, rim, rimWidth) {
      const ctx = ctxs[target];
      ctx.save();
      // The outline lies inside the box; its right and bottom edges are outside it.
      const rx = (right - left) / 2 - rimWidth / 2, ry = (bottom - top) / 2 - rimWidth / 2;
      ctx.beginPath();
      ctx.ellipse((left + right) / 2, (top + bottom) / 2, Math.max(rx, 0), Math.max(ry, 0), 0, 0, 2 * Math.PI);
      ctx.fillStyle = cssColour(fillColour);
      ctx.fill();
      ctx.lineWidth = rimWidth;
      ctx.strokeStyle = cssColour(rim);
      ctx.stroke();
      ctx.restore();
    }
    function text(target, s, font, left, top, right, bottom, centred, colour) {
      const ctx = ctxs[target];
      ctx.save();
      let size, ascent, cell, stretch = 1;
      if (font.numbers) {
        size = Math.max(1, Math.floor(font.numberEm));
        ctx.font = `bold ${size}px sans-serif`;
        const m = ctx.measureText(s);
        ascent = m.fontBoundingBoxAscent || size * 0.8;
        cell = ascent + (m.fontBoundingBoxDescent || size * 0.2);
      } else {
        ({css: ctx.font, size, ascent, cell, stretch} = canvasFont(font));
      }
      ctx.fillStyle = cssColour(colour);
      ctx.textBaseline = 'alphabetic';
      const width = ctx.measureText(s).width * stretch;
      let x = left, y = top;
      if (centred) { x = (left + right - width) / 2; y = (top + bottom - cell) / 2; }
      ctx.translate(x, 0);
      ctx.scale(stretch, 1);
      x = 0;
      ctx.fillText(s, 0, y + ascent);
      if (!font.numbers && (font.underline || font.strikeOut)) {
        ctx.strokeStyle = ctx.fillStyle;
        ctx.lineWidth = Math.max(1, size / 16);
        for (const [on, at] of [[font.underline, ascent + size / 10], [font.strikeOut, ascent - size / 3]]) {
          if (!on) continue;
          ctx.beginPath(); ctx.moveTo(0, y + at); ctx.lineTo(width / stretch, y + at); ctx.stroke();
        }
      }
      ctx.restore();
    }
    function canvasOf(rgba, width, height) {
      const c = document.createElement('canvas');
      c.width = width; c.height = height;
      c.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(rgba), width, height), 0, 0);
      return c;
    }
    function picture(target, rgba, width, height, key, left, top, boxWidth, boxHeight, smooth) {
      let source = pictures.get(key);
      if (!source) { pictures.clear(); source = canvasOf(rgba, width, height); pictures.set(key, source); }
      const ctx = ctxs[target];
      ctx.save();
      ctx.imageSmoothingEnabled = smooth;
      ctx.imageSmoothingQuality = 'high';
      ctx.drawImage(source, left, top, boxWidth, boxHeight);
      ctx.restore();
    }
    // The pens of a film frame on the field, every pixel left pure ground, blue or red as
    // the program's compositing expects: a canvas smooths its edges, so each pixel is
    // taken back to the nearest of the three.
    function filmPens(field, left, top, width, height, ground, counts, points, writtenWidth, writtenLines, unwrittenWidth) {
      scratch.width = Math.max(scratch.width, width);
      scratch.height = Math.max(scratch.height, height);
      const ctx = scratchCtx;
      ctx.save();
      ctx.fillStyle = cssColour(ground);
      ctx.fillRect(0, 0, width, height);
      ctx.translate(-left, -top);
      ctx.lineJoin = 'round';
      let at = 0;
      for (let line = 0; line < counts.length; ++line) {
        const written = line < writtenLines;
        ctx.strokeStyle = written ? '#0000ff' : '#ff0000';
        ctx.lineWidth = written ? writtenWidth : unwrittenWidth;
        ctx.lineCap = written ? 'round' : 'butt';
        const n = counts[line];
        if (n >= 2) { pathOf(ctx, points.subarray(at, at + 2 * n)); ctx.stroke(); }
        at += 2 * n;
      }
      ctx.restore();
      const pixels = ctx.getImageData(0, 0, width, height).data;
      const gr = (ground >> 16) & 255, gg = (ground >> 8) & 255, gb = ground & 255;
      const out = HEAPU32;
      for (let i = 0, p = 0; i < width * height; ++i, p += 4) {
        const r = pixels[p], g = pixels[p + 1], b = pixels[p + 2];
        const dGround = (r - gr) ** 2 + (g - gg) ** 2 + (b - gb) ** 2;
        const dBlue = r * r + g * g + (b - 255) ** 2;
        const dRed = (r - 255) ** 2 + g * g + b * b;
        out[field + i] = dGround <= dBlue && dGround <= dRed ? ground : dBlue <= dRed ? 0x0000FF : 0xFF0000;
      }
    }
    function putField(target, field, left, top, width, height) {
      const image = new ImageData(width, height);
      const data = image.data;
      for (let i = 0, p = 0; i < width * height; ++i, p += 4) {
        const v = HEAPU32[field + i];
        data[p] = (v >> 16) & 255; data[p + 1] = (v >> 8) & 255; data[p + 2] = v & 255; data[p + 3] = 255;
      }
      if (target == 1 || scale == 1) {
        ctxs[target].putImageData(image, left, top);
        return;
      }
      fieldCanvas.width = width; fieldCanvas.height = height;
      fieldCanvas.getContext('2d').putImageData(image, 0, 0);
      blit(fieldCanvas, left, top);
    }
    function strip(rgba, width, height, frameLeft, side) {
      const ctx = ctxs[1];
      ctx.save();
      ctx.imageSmoothingEnabled = false;
      ctx.drawImage(canvasOf(rgba, width, height), frameLeft, 0, side, side, 0, 0, frame.width, frame.height);
      ctx.restore();
    }
    function frameWhite(width, height, fresh) {
      if (!fresh && frame.width == width && frame.height == height) return;
      frame.width = width; frame.height = height;
      ctxs[1].fillStyle = '#ffffff';
      ctxs[1].fillRect(0, 0, width, height);
    }
    function showFrame() { blit(frame, 0, 0); }
    function requestPaint() {
      if (paintRequested) return;
      paintRequested = true;
      requestAnimationFrame(() => {
        paintRequested = false;
        // While the program waits (a sound heard to its end), the panel waits with it.
        if (busy) { paintWaiting = true; return; }
        Module.ccall('zel_paint', null, [], []);
        stats.paints++;
      });
    }
    let hintTimerId = 0;
    function hintTimer(periodMs, run) {
      clearInterval(hintTimerId);
      hintTimerId = 0;
      if (!run) return;
      hintTimerId = setInterval(() => {
        if (busy) return;
        if (!Module.ccall('zel_hint_tick', 'number', [], [])) { clearInterval(hintTimerId); hintTimerId = 0; }
      }, periodMs);
    }
    function atRest() {
      setTimeout(() => { if (!busy) Module.ccall('zel_panel_at_rest', null, [], []); }, 0);
    }

    // ---- The child's pen: Pointer Events handed over as they come. The program keeps to
    // the first pointer of a stroke; the page only captures it while the stroke lasts.
    let captured = null;  // the pointer of the stroke going on
    const down = new Set();
    function buttonOf(event) { return event.button == 0 ? 0 : event.button == 2 ? 1 : 2; }
    function hand(action, event) {
      const rect = canvas.getBoundingClientRect();
      const kind = kinds[event.pointerType] ?? 0;
      const x = Math.round(event.clientX - rect.left), y = Math.round(event.clientY - rect.top);
      const held = (event.buttons & 1) != 0 ? 1 : 0;
      const id = event.pointerId;
      const button = buttonOf(event);
      return enqueue(() => call('zel_pointer', [action, kind, button, id, x, y, held])).then((outcome) => {
        if (action == 0 && button == 1) showPenColour();
        if (outcome & 1) {
          captured = id;
          try { canvas.setPointerCapture(id); } catch (e) { /* already up */ }
        }
        if (outcome & 2) {
          if (captured === id) { try { canvas.releasePointerCapture(id); } catch (e) { /* gone */ } }
          captured = null;
        }
      });
    }
    canvas.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      audio.unlock();
      down.add(event.pointerId);
      hand(0, event);
    });
    canvas.addEventListener('pointermove', (event) => {
      event.preventDefault();
      const events = event.getCoalescedEvents ? event.getCoalescedEvents() : [];
      for (const e of events.length ? events : [event]) hand(1, e);
    });
    canvas.addEventListener('pointerup', (event) => {
      event.preventDefault();
      down.delete(event.pointerId);
      hand(2, event);
    });
    for (const type of ['pointercancel', 'lostpointercapture']) {
      canvas.addEventListener(type, (event) => {
        down.delete(event.pointerId);
        if (captured !== event.pointerId) return;
        captured = null;
        enqueue(() => call('zel_pointer', [3, kinds[event.pointerType] ?? 0, 0, event.pointerId, 0, 0, 0]));
      });
    }
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
    // No page scroll or zoom starts on the panel, whatever the browser does with touch-action.
    canvas.addEventListener('touchstart', (event) => event.preventDefault(), {passive: false});
    canvas.addEventListener('touchmove', (event) => event.preventDefault(), {passive: false});
    function pointerDown() { return captured !== null && down.has(captured); }

    return {canvas, resize, fill, pen, ellipse, text, picture, filmPens, putField, strip, frameWhite, showFrame,
            requestPaint, hintTimer, atRest, pointerDown};
  })();

  // ---- Sound through Web Audio. Browsers allow sound only after a first touch: that touch
  // unlocks it, before its own key is handed over, so its voice is heard.
  const audio = (() => {
    let context = null, output = null, source = null, unlocked = false;
    let heardEnd = 0;        // when the sound playing will have been heard (performance.now)
    let whenHeard = null;    // resolves the wait for the sound playing
    const log = [];          // every sound started at the graph: frames and rate
    let tapSamples = 0;      // samples heard at the graph's tap (tests)
    function unlock() {
      // Browsers count only some events as the user's leave (a touch's end, not its start):
      // each gesture asks again until sound runs.
      if (unlocked) {
        if (context.state != 'running') context.resume();
        return;
      }
      unlocked = true;
      context = new AudioContext({latencyHint: 'interactive'});
      output = context.createGain();
      output.connect(context.destination);
      if (new URLSearchParams(location.search).has('tap')) {
        // Counts what reaches the output, for the tests.
        const tap = context.createScriptProcessor(1024, 1, 1);
        tap.onaudioprocess = (e) => {
          const data = e.inputBuffer.getChannelData(0);
          for (let i = 0; i < data.length; ++i) if (Math.abs(data[i]) > 1 / 128) tapSamples++;
        };
        output.connect(tap);
        tap.connect(context.destination);
      }
      context.resume();
    }
    function stop() {
      if (source) { source.onended = null; try { source.stop(); } catch (e) { /* ended */ } source = null; }
      if (whenHeard) { whenHeard(); whenHeard = null; }
    }
    function play(samples, rate) {
      stop();
      const frames = samples.length;
      heardEnd = performance.now() + (frames ? frames * 1000 / rate : 0);
      if (!frames || !unlocked) return;
      const buffer = context.createBuffer(1, frames, rate);
      const data = buffer.getChannelData(0);
      for (let i = 0; i < frames; ++i) data[i] = samples[i] / 32768;
      source = context.createBufferSource();
      source.buffer = buffer;
      source.connect(output);
      const playing = source;
      source.onended = () => { if (source === playing) { source = null; if (whenHeard) { whenHeard(); whenHeard = null; } } };
      source.start();
      log.push({frames, rate, at: performance.now(), contextTime: context.currentTime});
    }
    // A play that waits: resolved when the sound has been heard, scheduled, never polled.
    // Before sound is unlocked, when the sound would have been heard.
    function heard() {
      if (source) return new Promise((resolve) => { whenHeard = resolve; });
      const left = heardEnd - performance.now();
      return left > 0 ? new Promise((resolve) => setTimeout(resolve, left)) : Promise.resolve();
    }
    for (const type of ['touchend', 'pointerup', 'keydown']) document.addEventListener(type, unlock, true);
    return {unlock, play, heard, log, get tapSamples() { return tapSamples; }, get unlocked() { return unlocked; },
            get state() { return context ? context.state : 'none'; }};
  })();

  // ---- The program's message boxes, modal.
  function message(text, caption, kind) {
    const dialog = document.getElementById('message');
    document.getElementById('message-caption').textContent = caption;
    document.getElementById('message-text').textContent = text;
    const buttons = document.getElementById('message-buttons');
    buttons.replaceChildren();
    const labels = kind == 0 ? ['OK'] : kind == 1 ? ['はい', 'いいえ'] : ['OK', 'キャンセル'];
    return new Promise((resolve) => {
      labels.forEach((label, index) => {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = label;
        button.addEventListener('click', () => { dialog.close(); resolve(index); });
        buttons.appendChild(button);
      });
      // Escape closes a box only where it has a way out: OK alone, or Cancel.
      dialog.oncancel = (event) => {
        event.preventDefault();
        if (kind != 1) { dialog.close(); resolve(kind == 0 ? 0 : 1); }
      };
      dialog.showModal();
      buttons.firstChild.focus();
    });
  }

  // ---- The small dialogs, laid out from the program's tables in dialog units. Kinds and
  // flags as the tables give them.
  const kDefaultButton = 0, kButton = 1, kText = 2, kField = 3, kIcon = 4, kRadio = 5, kGroupBox = 6;
  const kStartsGroup = 1, kNoPrefix = 4;
  const kDialogCancel = 2;
  let dialogResult = {fields: {}, checked: []};
  function dialog(template) {
    const box = document.createElement('dialog');
    box.className = 'template';
    const form = document.createElement('form');
    form.method = 'dialog';
    const heading = document.createElement('h2');
    heading.textContent = template.caption;
    const area = document.createElement('div');
    area.className = 'template-area';
    area.style.width = `calc(${template.cx} * var(--du))`;
    area.style.height = `calc(${template.cy} * var(--du))`;
    const place = (element, c) => {
      element.style.left = `calc(${c.x} * var(--du))`;
      element.style.top = `calc(${c.y} * var(--du))`;
      element.style.width = `calc(${c.cx} * var(--du))`;
      element.style.height = `calc(${c.cy} * var(--du))`;
      area.appendChild(element);
    };
    const fields = new Map(), radios = new Map();
    let group = 0, cancel = template.controls.some((c) => c.id == kDialogCancel) ? kDialogCancel : 1;
    for (const c of template.controls) {
      const text = c.flags & kNoPrefix ? c.text : c.text.replace(/&(.)/g, '$1');
      if (c.flags & kStartsGroup) ++group;
      let element;
      switch (c.kind) {
        case kDefaultButton:
        case kButton:
          element = document.createElement('button');
          element.type = c.kind == kDefaultButton ? 'submit' : 'button';
          element.value = String(c.id);
          element.textContent = text;
          if (c.kind == kButton) element.addEventListener('click', () => box.close(String(c.id)));
          break;
        case kField:
          element = document.createElement('input');
          element.type = 'text';
          element.value = c.text;
          element.dataset.id = c.id;
          fields.set(c.id, element);
          break;
        case kIcon:
          element = document.createElement('img');
          element.src = `icons/${c.text.toLowerCase()}.png`;
          element.alt = '';
          break;
        case kRadio: {
          element = document.createElement('label');
          const input = document.createElement('input');
          input.type = 'radio';
          input.name = `group${group}`;
          input.checked = c.checked;
          input.dataset.id = c.id;
          element.append(input, text);
          radios.set(c.id, input);
          break;
        }
        case kGroupBox:
          element = document.createElement('fieldset');
          element.appendChild(document.createElement('legend')).textContent = text;
          break;
        default:
          element = document.createElement('span');
          element.textContent = text;
      }
      element.classList.add('kind' + c.kind);
      place(element, c);
    }
    form.append(heading, area);
    box.appendChild(form);
    document.body.appendChild(box);
    return new Promise((resolve) => {
      box.addEventListener('cancel', (event) => { event.preventDefault(); box.close(String(cancel)); });
      box.addEventListener('close', () => {
        dialogResult = {
          fields: Object.fromEntries([...fields].map(([id, input]) => [id, input.value])),
          checked: [...radios].filter(([, input]) => input.checked).map(([id]) => id),
        };
        box.remove();
        resolve(Number(box.returnValue) || cancel);
      });
      box.showModal();
      const first = fields.values().next().value;
      if (first) first.select();
    });
  }

  // ---- The question check's window, modal: the program gives its rows at once, then each
  // picture as it is read, and waits for the window to close.
  const checkWindow = (() => {
    let box = null, rows = [], summaryText = null, progress = null, closedWaiters = [];
    function cell(tr, text) {
      const td = document.createElement('td');
      td.textContent = text;
      tr.appendChild(td);
      return td;
    }
    function open(content) {
      box = document.createElement('dialog');
      box.className = 'check-window';
      box.id = 'check-window';
      const heading = document.createElement('h2');
      heading.textContent = content.title;
      summaryText = document.createElement('p');
      summaryText.className = 'check-summary';
      summaryText.textContent = content.summary;
      progress = document.createElement('progress');
      progress.hidden = !content.rows.some((r) => r.picture);
      // The list scrolls with the keys (arrows, Page Up, Page Down, Home, End) once it has
      // the focus, which it takes on opening.
      const list = document.createElement('div');
      list.className = 'check-list';
      list.tabIndex = 0;
      const table = document.createElement('table');
      const head = table.createTHead().insertRow();
      for (const title of content.columns) {
        const th = document.createElement('th');
        th.textContent = title;
        head.appendChild(th);
      }
      const body = table.createTBody();
      rows = content.rows.map((r) => {
        const tr = body.insertRow();
        const label = cell(tr, r.label);
        const picture = cell(tr, '');
        picture.className = 'check-picture';
        cell(tr, r.text).className = 'check-text';
        const message = cell(tr, r.message);
        return {label, picture, message};
      });
      list.appendChild(table);
      const close = document.createElement('button');
      close.type = 'button';
      close.textContent = content.close;
      close.addEventListener('click', () => box.close());
      const buttons = document.createElement('div');
      buttons.className = 'check-buttons';
      buttons.appendChild(close);
      box.append(heading, summaryText, progress, list, buttons);
      box.addEventListener('close', () => {
        box.remove();
        box = null;
        for (const resolve of closedWaiters.splice(0)) resolve();
      });
      document.body.appendChild(box);
      box.showModal();
      list.focus();
    }
    function row(index, label, message, rgba, width, height) {
      const r = rows[index];
      if (!box || !r) return;
      r.label.textContent = label;
      r.message.textContent = message;
      if (rgba) {
        const canvas = document.createElement('canvas');
        canvas.width = width; canvas.height = height;
        canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(rgba.buffer), width, height), 0, 0);
        r.picture.replaceChildren(canvas);
      }
    }
    function summary(text, left, pictures) {
      if (!box) return;
      summaryText.textContent = text;
      progress.max = Math.max(pictures, 1);
      progress.value = pictures - left;
      progress.hidden = left == 0;
    }
    // A moment for the page to draw what came and to hear a close.
    const pause = () => new Promise((resolve) => setTimeout(resolve, 0));
    const closed = () => new Promise((resolve) => { if (!box) resolve(); else closedWaiters.push(resolve); });
    return {open, row, summary, pause, closed, shown: () => box !== null};
  })();

  // A form dialog's row of OK, which closes it as 'ok', and a button that cancels it.
  function okCancelButtons(dialog, cancelText) {
    const buttons = document.createElement('div');
    buttons.className = 'dialog-buttons';
    const ok = document.createElement('button');
    ok.value = 'ok';
    ok.textContent = 'OK';
    const cancel = document.createElement('button');
    cancel.type = 'button';
    cancel.textContent = cancelText;
    cancel.addEventListener('click', () => dialog.close('cancel'));
    buttons.append(ok, cancel);
    return buttons;
  }

  // ---- The font dialog: the program's own face first, then the device's fixed-pitch faces
  // where the browser lists them (it may ask the user first), the styles, the effects and
  // the colour, with a sample. Resolves true for OK, the choice then in fontChosen.
  let fontChosen = null;
  function isFixedPitch(family) {
    measure.font = `32px "${family}", monospace`;
    const width = measure.measureText('W').width;
    return width > 0 && [...'im.0'].every((c) => measure.measureText(c).width == width);
  }
  async function deviceFaces() {
    if (!window.queryLocalFonts) return [];
    try {
      const families = [...new Set((await window.queryLocalFonts()).map((f) => f.family))];
      return families.filter((family) => family != kOwnFace && isFixedPitch(family)).sort();
    } catch (e) {
      return [];  // refused, or no user gesture left
    }
  }
  async function fontDialog(o) {
    const faces = [{label: kOwnFace, value: o.defaultFaceName}];
    if (!o.defaultFace) faces.push({label: o.face, value: o.face});
    for (const family of await deviceFaces()) if (family != o.face) faces.push({label: family, value: family});
    const box = document.createElement('dialog');
    box.className = 'font-dialog';
    box.id = 'font-dialog';
    const form = document.createElement('form');
    form.method = 'dialog';
    const heading = document.createElement('h2');
    heading.textContent = o.title;
    const labelled = (text, control) => {
      const label = document.createElement('label');
      label.append(text, control);
      return label;
    };
    const faceList = document.createElement('select');
    faceList.size = 6;
    faceList.id = 'font-face';
    for (const face of faces) faceList.add(new Option(face.label, face.value));
    faceList.value = o.defaultFace ? o.defaultFaceName : o.face;
    const styleList = document.createElement('select');
    styleList.size = 4;
    styleList.id = 'font-style';
    o.styles.forEach((style, i) => styleList.add(new Option(style, String(i))));
    styleList.value = String((o.bold ? 2 : 0) + (o.italic ? 1 : 0));
    const check = (text, on, id) => {
      const input = document.createElement('input');
      input.type = 'checkbox';
      input.checked = on;
      input.id = id;
      return [labelled(text, input), input];
    };
    const [strikeLabel, strikeOut] = check(o.strikeOutLabel, o.strikeOut, 'font-strike-out');
    const [underlineLabel, underline] = check(o.underlineLabel, o.underline, 'font-underline');
    const colourList = document.createElement('select');
    colourList.id = 'font-colour';
    for (const c of o.colours) colourList.add(new Option(c.name, String(c.rgb)));
    const other = new Option(o.otherColour, 'other');
    colourList.add(other);
    const picker = document.createElement('input');
    picker.type = 'color';
    picker.hidden = true;
    let colour = o.colour;
    function showColour(rgb) {
      colour = rgb;
      const known = o.colours.some((c) => c.rgb == rgb);
      const own = [...colourList.options].find((option) => option.dataset.own);
      if (own) own.remove();
      if (!known) {
        const option = new Option(o.ownColour, String(rgb));
        option.dataset.own = 'true';
        colourList.add(option, other);
      }
      colourList.value = String(rgb);
      showSample();
    }
    colourList.addEventListener('change', () => {
      if (colourList.value != 'other') { showColour(Number(colourList.value)); return; }
      colourList.value = String(colour);
      picker.value = cssColour(colour);
      picker.click();
    });
    picker.addEventListener('change', () => showColour(parseInt(picker.value.slice(1), 16)));
    const effects = document.createElement('fieldset');
    effects.appendChild(document.createElement('legend')).textContent = o.effects;
    effects.append(strikeLabel, underlineLabel, labelled(o.colourLabel, colourList), picker);
    const sampleBox = document.createElement('fieldset');
    sampleBox.appendChild(document.createElement('legend')).textContent = o.sampleTitle;
    const sample = document.createElement('div');
    sample.className = 'font-sample';
    sample.textContent = o.sample;
    sampleBox.appendChild(sample);
    function choice() {
      const style = Number(styleList.value);
      return {face: faceList.value || (o.defaultFace ? o.defaultFaceName : o.face), bold: style >= 2,
              italic: style % 2 == 1, underline: underline.checked, strikeOut: strikeOut.checked, colour};
    }
    function showSample() {
      const c = choice();
      sample.style.fontFamily = familyOf({face: c.face, defaultFace: c.face == o.defaultFaceName});
      sample.style.fontWeight = c.bold ? '700' : '400';
      sample.style.fontStyle = c.italic ? 'italic' : 'normal';
      sample.style.textDecoration = [c.underline ? 'underline' : '', c.strikeOut ? 'line-through' : ''].join(' ').trim() || 'none';
      sample.style.color = cssColour(c.colour);
    }
    for (const control of [faceList, styleList, strikeOut, underline]) control.addEventListener('change', showSample);
    const buttons = okCancelButtons(box, o.cancel);
    const lists = document.createElement('div');
    lists.className = 'font-lists';
    lists.append(labelled(o.faceLabel, faceList), labelled(o.styleLabel, styleList));
    form.append(heading, lists, effects, sampleBox, buttons);
    box.appendChild(form);
    document.body.appendChild(box);
    showColour(o.colour);
    return new Promise((resolve) => {
      box.addEventListener('close', () => {
        const confirmed = box.returnValue == 'ok';
        fontChosen = confirmed ? choice() : null;
        box.remove();
        resolve(confirmed);
      });
      box.showModal();
      faceList.focus();
    });
  }

  // ---- The practice sheet: an SVG page the size of an A4 page's printable part, in the
  // sheet's pixels at 300 dpi, printed by the browser as the page's only content. Outlines
  // and crosses go as shapes, so they print as sharp lines at any resolution; each
  // character's box image goes as a picture at 1 : 1.
  const sheet = (() => {
    const kDpi = 300, kMarginMm = 6.35;  // a quarter inch all round: every printer prints there
    const kSvg = 'http://www.w3.org/2000/svg';
    const pixels = (mm) => Math.floor(mm / 25.4 * kDpi);
    let svg = null;
    function add(name, attributes) {
      const element = document.createElementNS(kSvg, name);
      for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, String(value));
      svg.appendChild(element);
      return element;
    }
    const rect = (x, y, width, height, fill) => add('rect', {x, y, width, height, fill});
    function begin() {
      const width = pixels(210 - 2 * kMarginMm), height = pixels(297 - 2 * kMarginMm);
      svg = document.createElementNS(kSvg, 'svg');
      svg.setAttribute('viewBox', `0 0 ${width} ${height}`);
      svg.setAttribute('width', `${width / kDpi}in`);
      svg.setAttribute('height', `${height / kDpi}in`);
      svg.setAttribute('shape-rendering', 'crispEdges');
      return {width, height};
    }
    // The outline along left and top and along right - 1 and bottom - 1, over what is inside:
    // white, or the given picture.
    function box(left, top, right, bottom, inside) {
      const width = right - left, height = bottom - top;
      if (!svg || width <= 0 || height <= 0) return false;
      if (width > 2 && height > 2) {
        if (inside) add('image', {x: left + 1, y: top + 1, width: width - 2, height: height - 2, href: inside,
                                  preserveAspectRatio: 'none', style: 'image-rendering: pixelated'});
        else rect(left + 1, top + 1, width - 2, height - 2, '#fff');
      }
      for (const [x, y, w, h] of [[left, top, width, 1], [left, bottom - 1, width, 1], [left, top, 1, height],
                                  [right - 1, top, 1, height]])
        rect(x, y, w, h, '#000');
      return true;
    }
    function emptyBox(left, top, right, bottom) {
      if (!box(left, top, right, bottom, null)) return;
      rect(Math.trunc((left + right) / 2), top, 1, bottom - top, '#000');
      rect(left, Math.trunc((top + bottom) / 2), right - left, 1, '#000');
    }
    // The box image, less its own outermost pixels, inside the outline.
    function boxImage(left, top, right, bottom, rgba, width, height) {
      if (width <= 2 || height <= 2) { box(left, top, right, bottom, null); return; }
      const c = document.createElement('canvas');
      c.width = width - 2; c.height = height - 2;
      c.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(rgba), width, height), -1, -1);
      box(left, top, right, bottom, c.toDataURL('image/png'));
    }
    // Where the character's strokes cover a box: 1 for each pixel a fill of the text covers
    // at least half of, top row first.
    function glyphShape(covered, width, height, font, pieces) {
      const c = document.createElement('canvas');
      c.width = width; c.height = height;
      const g = c.getContext('2d', {willReadFrequently: true});
      if (!g) return false;
      g.fillStyle = '#000';
      g.fillRect(0, 0, width, height);
      const f = canvasFont(font);
      g.font = f.css;
      g.fillStyle = '#fff';
      for (const piece of pieces) {
        g.save();
        g.translate(piece.x, 0);
        g.scale(f.stretch, 1);
        g.fillText(piece.text, 0, f.ascent);
        g.restore();
      }
      const data = g.getImageData(0, 0, width, height).data;
      for (let i = 0; i < width * height; ++i) covered[i] = data[4 * i] >= 128 ? 1 : 0;
      return true;
    }
    async function end() {
      if (!svg) return false;
      const page = document.createElement('div');
      page.id = 'print-sheet';
      page.appendChild(svg);
      svg = null;
      const before = document.getElementById('print-sheet');
      if (before) before.remove();
      document.body.appendChild(page);
      // The pictures are ready before the browser lays the page out for print.
      await Promise.all([...page.querySelectorAll('image')].map((image) =>
        new Promise((resolve) => { const i = new Image(); i.onload = i.onerror = resolve; i.src = image.getAttribute('href'); })));
      stats.sheets++;
      window.print();
      return true;
    }
    return {begin, emptyBox, boxImage, glyphShape, end};
  })();

  // ---- The one timer.
  let timerId = 0, tickQueued = false;
  function timer(periodMs, run) {
    clearInterval(timerId);
    timerId = 0;
    if (!run) return;
    timerId = setInterval(() => {
      if (tickQueued) return;  // ticks do not pile up behind a wait
      tickQueued = true;
      enqueue(() => { tickQueued = false; return call('zel_tick', []); });
    }, periodMs);
  }

  // ---- Settings: zel.ini's bytes kept in the browser's storage.
  const kSettingsKey = 'mojimori.zel.ini';
  function keepSettings(path) {
    const bytes = Module.FS.readFile(path);
    let text = '';
    for (let i = 0; i < bytes.length; ++i) text += String.fromCharCode(bytes[i]);
    try { localStorage.setItem(kSettingsKey, text); } catch (e) { /* storage full or off */ }
  }
  function restoreSettings() {
    Module.FS.mkdirTree('/settings');
    let text = null;
    try { text = localStorage.getItem(kSettingsKey); } catch (e) { /* storage off */ }
    if (text === null) return;
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i) & 255;
    Module.FS.writeFile('/settings/zel.ini', bytes);
  }

  // ---- Text files: a save asks for a name and becomes a download; a load takes a file the
  // user picks (or drops in the picker), copied into the page's file system.
  const kSaveDir = '/save', kLoadDir = '/load';
  function askName(title, name) {
    const dialog = document.createElement('dialog');
    dialog.className = 'file-name';
    const form = document.createElement('form');
    form.method = 'dialog';
    const heading = document.createElement('h2');
    heading.textContent = title;
    const field = document.createElement('input');
    field.type = 'text';
    field.value = name;
    field.setAttribute('aria-label', title);
    const buttons = okCancelButtons(dialog, 'キャンセル');
    form.append(heading, field, buttons);
    dialog.appendChild(form);
    document.body.appendChild(dialog);
    return new Promise((resolve) => {
      dialog.addEventListener('close', () => {
        const chosen = dialog.returnValue == 'ok' ? field.value.trim() : '';
        dialog.remove();
        resolve(chosen || null);
      });
      dialog.showModal();
      field.select();
    });
  }
  function pickFile() {
    return new Promise((resolve) => {
      const input = document.createElement('input');
      input.type = 'file';
      input.accept = '.txt,.TXT,text/plain';
      input.id = 'load-file';
      input.hidden = true;
      document.body.appendChild(input);
      const done = (file) => { input.remove(); resolve(file); };
      input.addEventListener('change', () => done(input.files[0] || null));
      input.addEventListener('cancel', () => done(null));
      input.click();
    });
  }
  async function chooseFile(save, title, name) {
    if (save) {
      let chosen = await askName(title, name);
      if (chosen === null) return null;
      chosen = chosen.replace(/[\/\\]/g, '_');
      if (!/\.[^.]*$/.test(chosen)) chosen += '.TXT';  // the text files' own extension
      Module.FS.mkdirTree(kSaveDir);
      const path = `${kSaveDir}/${chosen}`;
      // A download never replaces a file: nothing here to ask about.
      try { Module.FS.unlink(path); } catch (e) { /* none yet */ }
      return path;
    }
    const file = await pickFile();
    if (!file) return null;
    Module.FS.mkdirTree(kLoadDir);
    const path = `${kLoadDir}/${file.name.replace(/[\/\\]/g, '_')}`;
    Module.FS.writeFile(path, new Uint8Array(await file.arrayBuffer()));
    return path;
  }
  function download(path) {
    const bytes = Module.FS.readFile(path);
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], {type: 'text/plain; charset=shift_jis'}));
    link.download = path.slice(path.lastIndexOf('/') + 1);
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    stats.downloads.push(link.download);
  }

  // Only an installed app has a window of its own to close; a tab stays.
  function quit() { if (installed) window.close(); }

  function showHelp() { window.open('help/zel.html', '_blank', 'noopener'); }

  // ---- The page's size: the client area under the menu bar, never so small that the keys
  // shrink below a finger's width.
  function clientSize() {
    const width = Math.max(document.documentElement.clientWidth, kMinClientWidth);
    const height = Math.max(window.innerHeight - menubar.offsetHeight, kMinClientHeight);
    client.style.width = width + 'px';
    client.style.height = height + 'px';
    return [width, height];
  }
  let resizeQueued = false;
  window.addEventListener('resize', () => {
    if (resizeQueued || !started) return;
    resizeQueued = true;
    requestAnimationFrame(() => { resizeQueued = false; submit('zel_resize', ...clientSize()); });
  });

  // ---- Keys: through the program's keyboard table, as on the desktop.
  function virtualKeyOf(event) {
    const code = event.code;
    if (/^Key[A-Z]$/.test(code)) return code.charCodeAt(3);
    if (/^Digit[0-9]$/.test(code)) return code.charCodeAt(5);
    const f = /^F([1-9]|10)$/.exec(code);
    if (f) return 0x70 + Number(f[1]) - 1;
    switch (code) {
      case 'Enter': case 'NumpadEnter': return 0x0D;
      case 'Space': return 0x20;
      case 'ArrowLeft': return 0x25;
      case 'ArrowRight': return 0x27;
      case 'Backspace': return 0x08;
      case 'Delete': return 0x2E;
    }
    return 0;
  }
  function keyArgs(event) {
    const keypad = event.location == KeyboardEvent.DOM_KEY_LOCATION_NUMPAD;
    const vk = keypad && !['NumpadEnter'].includes(event.code) ? 0 : virtualKeyOf(event);
    const character = [...event.key].length == 1 ? event.key.codePointAt(0) : 0;
    return [vk, event.shiftKey ? 1 : 0, event.ctrlKey ? 1 : 0, event.altKey ? 1 : 0, character, keypad ? 1 : 0];
  }
  document.addEventListener('keydown', (event) => {
    if (!started || event.isComposing || document.querySelector('dialog[open]')) return;
    if (event.key == 'Escape' && !event.shiftKey && !event.ctrlKey && !event.altKey) {
      if (openMenu) { closeMenus(); return; }
      event.preventDefault();
      command(kCmdCancel, kFromClick);
      return;
    }
    const args = keyArgs(event);
    if (busy) {
      // Held for the program, as keys wait in a message queue.
      event.preventDefault();
      enqueue(() => {
        const id = Module.ccall('zel_key_command', 'number', args.map(() => 'number'), args);
        return id ? call('zel_command', [id, kFromAccelerator]) : 0;
      });
      return;
    }
    const id = Module.ccall('zel_key_command', 'number', args.map(() => 'number'), args);
    if (!id) return;
    event.preventDefault();
    audio.unlock();
    command(id, kFromAccelerator);
  });
  document.addEventListener('keyup', () => { if (started) submit('zel_key_released'); });

  // ---- A page may be ended at any time once hidden: what the desktop stores when its
  // window closes is stored whenever the page goes out of sight.
  function pageHidden() {
    if (!started) return;
    if (busy) submit('zel_page_hidden');
    else Module.ccall('zel_page_hidden', null, [], []);
  }
  window.addEventListener('pagehide', pageHidden);
  document.addEventListener('visibilitychange', () => { if (document.visibilityState == 'hidden') pageHidden(); });

  // ---- Photos through the browser's decoders: upright by their EXIF orientation, the
  // first frame, shrunk smoothly to fit maxSide, as premultiplied blue, green, red, alpha
  // rows in the program's memory (freed there); 0 when the bytes are no picture it reads.
  async function decodePicture(bytes, maxSide, widthOut, heightOut) {
    let bitmap;
    try {
      bitmap = await createImageBitmap(new Blob([bytes]), {imageOrientation: 'from-image'});
    } catch (e) {
      return 0;
    }
    const scale = Math.min(1, maxSide / Math.max(bitmap.width, bitmap.height));
    const width = Math.max(1, Math.round(bitmap.width * scale));
    const height = Math.max(1, Math.round(bitmap.height * scale));
    const canvas = document.createElement('canvas');
    canvas.width = width; canvas.height = height;
    const ctx = canvas.getContext('2d', {willReadFrequently: true});
    ctx.imageSmoothingQuality = 'high';
    ctx.drawImage(bitmap, 0, 0, width, height);
    bitmap.close();
    const rgba = ctx.getImageData(0, 0, width, height).data;
    const out = _malloc(width * height * 4);
    if (!out) return 0;
    const bgra = HEAPU8;  // after the allocation, which may have grown the memory
    for (let i = 0; i < width * height * 4; i += 4) {
      const a = rgba[i + 3];
      bgra[out + i] = Math.round(rgba[i + 2] * a / 255);
      bgra[out + i + 1] = Math.round(rgba[i + 1] * a / 255);
      bgra[out + i + 2] = Math.round(rgba[i] * a / 255);
      bgra[out + i + 3] = a;
    }
    HEAP32[widthOut >> 2] = width;
    HEAP32[heightOut >> 2] = height;
    return out;
  }

  // ---- The parent's own questions: a question file with its pictures and voices, chosen
  // as files, as a folder where the browser has a folder picker (iPad Safari has none), or
  // dropped on the page; kept in the browser's origin-private storage, and the program
  // started in them from then on, until the parent goes back to the sample set.
  const kParentStore = 'questions';
  const kParentDir = '/mine';
  const kQuestionFile = 'mondai.txt';
  async function parentStore(create) {
    if (!navigator.storage || !navigator.storage.getDirectory) return null;
    const root = await navigator.storage.getDirectory();
    try {
      return await root.getDirectoryHandle(kParentStore, {create});
    } catch (e) {
      return null;
    }
  }
  async function forgetParentFiles() {
    const root = await navigator.storage.getDirectory();
    try { await root.removeEntry(kParentStore, {recursive: true}); } catch (e) { /* none kept */ }
  }
  // A folder's files, without its subfolders: the question file names its pictures and voices
  // beside it.
  const isQuestionFile = (file) => file.name.toLowerCase() == kQuestionFile;
  async function keepParentFiles(files) {
    if (!files.some(isQuestionFile)) {
      await message(`えらんだ ファイルに ${kQuestionFile} が ありません。\n` +
                    `もんだいの ファイル ${kQuestionFile} と、その え・こえの ファイルを いっしょに えらんでください。`,
                    'もじもり！', 0);
      return;
    }
    if (!await parentStore(true)) {
      await message('この ブラウザーには もんだいを しまって おけません。', 'もじもり！', 0);
      return;
    }
    await forgetParentFiles();
    const store = await parentStore(true);
    for (const file of files) {
      // The program opens the question file by its own name, whatever case it came in.
      const name = isQuestionFile(file) ? kQuestionFile : file.name.replace(/[\/\\]/g, '_');
      const handle = await store.getFileHandle(name, {create: true});
      const writable = await handle.createWritable();
      await writable.write(await file.arrayBuffer());
      await writable.close();
    }
    location.reload();
  }
  // True when the parent's files, holding a question file, are now in the page's files.
  async function restoreParentFiles() {
    const store = await parentStore(false);
    if (!store) return false;
    let questions = false;
    Module.FS.mkdirTree(kParentDir);
    for await (const [name, handle] of store.entries()) {
      if (handle.kind != 'file') continue;
      const file = await handle.getFile();
      Module.FS.writeFile(`${kParentDir}/${name}`, new Uint8Array(await file.arrayBuffer()));
      if (name == kQuestionFile) questions = true;
    }
    return questions;
  }
  function pickParentFiles(folder) {
    const input = document.createElement('input');
    input.type = 'file';
    input.multiple = true;
    input.webkitdirectory = folder;
    input.id = folder ? 'parent-folder-input' : 'parent-files-input';
    input.hidden = true;
    document.body.appendChild(input);
    input.addEventListener('change', () => {
      // A folder's own files only: webkitRelativePath is "folder/name" for those.
      const files = [...input.files].filter((f) => !folder || f.webkitRelativePath.split('/').length == 2);
      input.remove();
      if (files.length) keepParentFiles(files);
    });
    input.addEventListener('cancel', () => input.remove());
    input.click();
  }
  async function pickParentFolder() {
    if (!window.showDirectoryPicker) { pickParentFiles(true); return; }
    let folder;
    try {
      folder = await window.showDirectoryPicker({id: 'mojimori-questions'});
    } catch (e) {
      return;  // cancelled
    }
    const files = [];
    for await (const handle of folder.values()) if (handle.kind == 'file') files.push(await handle.getFile());
    keepParentFiles(files);
  }
  // Dropped files, or a dropped folder's own files.
  async function droppedFiles(transfer) {
    const entries = [...transfer.items].map((item) => item.webkitGetAsEntry && item.webkitGetAsEntry()).filter(Boolean);
    if (!entries.length) return [...transfer.files];
    const fileOf = (entry) => new Promise((resolve, reject) => entry.file(resolve, reject));
    const files = [];
    for (const entry of entries) {
      if (entry.isFile) {
        files.push(await fileOf(entry));
      } else if (entry.isDirectory) {
        const reader = entry.createReader();
        for (;;) {
          const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
          if (!batch.length) break;
          for (const inner of batch) if (inner.isFile) files.push(await fileOf(inner));
        }
      }
    }
    return files;
  }
  const dragsFiles = (event) => event.dataTransfer && [...event.dataTransfer.types].includes('Files');
  document.addEventListener('dragover', (event) => {
    if (!dragsFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  document.addEventListener('drop', (event) => {
    if (!dragsFiles(event)) return;
    event.preventDefault();
    if (document.querySelector('dialog[open]')) return;
    droppedFiles(event.dataTransfer).then(keepParentFiles, (e) => console.error(e));
  });
  async function backToSample() {
    if (await message('いれた もんだいを けして、みほんの もんだいに もどしますか？', 'もじもり！', 1) != 0) return;
    await forgetParentFiles();
    location.reload();
  }
  // The parent's menu, at the right of the menu bar.
  function addParentMenu(parentFolder) {
    addMenu('おうちの かたへ');
    currentMenu.parentNode.classList.add('parent-menu');
    currentMenu.parentNode.id = 'parent-menu';
    const item = (id, text, run) => {
      const element = document.createElement('button');
      element.type = 'button';
      element.className = 'menu-item';
      element.id = id;
      element.textContent = text;
      element.setAttribute('role', 'menuitem');
      element.addEventListener('click', (event) => { event.stopPropagation(); closeMenus(); run(); });
      currentMenu.appendChild(element);
      return element;
    };
    item('parent-files', 'もんだいの ファイルを えらぶ…', () => pickParentFiles(false));
    const folders = !!window.showDirectoryPicker || 'webkitdirectory' in HTMLInputElement.prototype;
    item('parent-folder', 'もんだいの フォルダーを えらぶ…', pickParentFolder).hidden = !folders;
    item('parent-sample', 'みほんの もんだいに もどす', backToSample).hidden = !parentFolder;
  }

  // ---- The pen's colour, which the right mouse button steps through: a button of its own for
  // a finger or a stylus, showing the colour the next stroke takes.
  const penButton = document.createElement('button');
  penButton.type = 'button';
  penButton.className = 'menu-title pen';
  penButton.id = 'pen';
  penButton.setAttribute('aria-label', 'ペンの いろを かえる');
  penButton.append('ペン', Object.assign(document.createElement('span'), {className: 'swatch'}));
  function showPenColour() {
    penButton.style.setProperty('--pen', cssColour(Module.ccall('zel_pen_colour', 'number', [], [])));
  }
  penButton.addEventListener('click', (event) => {
    event.stopPropagation();
    closeMenus();
    // The program's own rule for the right button: a press on the panel, not while tracing.
    enqueue(() => call('zel_pointer', [0, kinds[event.pointerType] ?? 0, 1, -1, 0, 0, 0])).then(showPenColour);
  });

  // ---- The app kept for use without a network, and its storage (zel.ini) kept for good
  // where the browser allows it.
  function keepOffline() {
    if ('serviceWorker' in navigator && location.protocol != 'file:')
      navigator.serviceWorker.register('sw.js').catch(() => { /* a private window may refuse */ });
    if (navigator.storage && navigator.storage.persist) navigator.storage.persist().catch(() => {});
  }

  // ---- The keyboard the page carries in itself shows while the program loads; a tap on it
  // meanwhile is handed to the program once it has started.
  const shell = document.getElementById('shell');
  const earlyTaps = [];
  if (shell) {
    shell.addEventListener('click', (event) => {
      const key = event.target.closest('[data-id]');
      if (!key || !key.classList.contains('shell-key')) return;
      audio.unlock();
      earlyTaps.push(Number(key.dataset.id));
    });
  }

  // ---- Start.
  let started = false;
  const stats = {paints: 0, downloads: [], sheets: 0, get shellDrawnAt() { return window.shellDrawnAt; }};
  async function start() {
    // The dialogs' pictures are at hand before a dialog opens.
    for (const name of ['zel', 'pr1', 'pr2', 'pr3']) new Image().src = `icons/${name}.png`;
    restoreSettings();
    // Measured before the first key is laid out: a face still loading would be measured as
    // the one standing in for it.
    try { await document.fonts.load(`16px "${kOwnFace}"`, 'あ'); } catch (e) { /* the stack's next face */ }
    let parentFolder = false;
    try { parentFolder = await restoreParentFiles(); } catch (e) { /* storage off: the sample */ }
    menubar.appendChild(penButton);
    addParentMenu(parentFolder);
    const [width, height] = clientSize();
    enqueue(() => call('zel_start', [width, height, parentFolder ? 1 : 0])).then(() => {
      started = true;
      showPenColour();
      if (shell) shell.remove();
      for (const id of earlyTaps.splice(0)) command(id, kFromClick);
      document.getElementById('loading').hidden = true;
      document.documentElement.dataset.ready = 'true';
      requestAnimationFrame(() => { stats.drawnAt = performance.now(); });  // for the benchmark
      keepOffline();
    });
  }

  return {addControl, setControlText, showControl, moveControl, setKeyFont, addMenu, addMenuItem,
          insertMenuItem, checkMenuItem, panel, audio, message, timer, keepSettings, showHelp, start,
          chooseFile, download, dialog, quit, decodePicture, checkWindow, sheet, fontDialog,
          get fontChosen() { return fontChosen; }, get dialogResult() { return dialogResult; },
          stats, get busy() { return busy || queue.length > 0; }};
})();

function loadFailed(error) {
  console.error(error);
  document.getElementById('loading').textContent = 'よみこめませんでした。ページを よみこみなおしてください。';
}

var Module = {
  // The wasm compiled already, from the unpacked bytes.
  instantiateWasm(imports, receive) {
    programCode.then(async (code) => receive(await WebAssembly.instantiate(code, imports), code)).catch(loadFailed);
    return {};
  },
  // The data package's files in the program's file system before it starts.
  preRun: [() => {
    Module.addRunDependency('zel-data');
    programData.then((files) => {
      for (const [path, bytes] of files) {
        const slash = path.lastIndexOf('/');
        if (slash > 0) Module.FS.mkdirTree('/' + path.slice(0, slash));
        Module.FS.writeFile('/' + path, bytes);
      }
      Module.removeRunDependency('zel-data');
    }).catch(loadFailed);
  }],
  onRuntimeInitialized: () => zelPage.start(),
  print: (text) => console.log(text),
  printErr: (text) => console.error(text),
};
