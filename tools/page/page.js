// The live page: edits the scene on the server, shows its render, and
// follows the module's visibility rules. Everything it changes goes through
// PUT /api/scene; what it shows comes from the server's runs of the module.
"use strict";

const PREVIEW_DOWNSAMPLE = 4;
const $ = (id) => document.getElementById(id);
const state = {
  scene: null, controls: [], help: {}, files: [], frame: 0,
  downsample: 1, fullWidth: 0, fullHeight: 0, renderUrl: null,  // the image shown
  busy: 0, pushing: null, again: false, wantPreview: false, dragging: false,
  renders: 0, shownRender: 0, listings: 0, shownListing: 0,  // answers in flight
};

// Marks the page busy while `work` runs, so that a script driving the page
// knows when what it shows has settled.
async function busy(work) {
  document.body.dataset.busy = String(++state.busy);
  try {
    return await work();
  } finally {
    if (--state.busy === 0) document.body.dataset.busy = "";
  }
}

async function api(method, path, body) {
  const options = { method, headers: {} };
  if (body !== undefined) {
    options.body = JSON.stringify(body);
    options.headers["Content-Type"] = "application/json";
  }
  const response = await fetch(path, options);
  if (response.status === 409) return null;  // a newer render replaced this one
  if (!response.ok) {
    const failure = await response.json().catch(() => ({ error: response.statusText }));
    throw new Error(failure.error);
  }
  return response;
}

function showError(error) {
  $("error").hidden = !error;
  $("error").textContent = error ? String(error.message || error) : "";
}

// Sends the scene; the server checks it and keeps it. One request at a
// time, so that they arrive in order: edits made meanwhile are sent
// together once it is answered. Renders are not waited for: while one runs
// on the server, a newer one replaces the one waiting there (latest wins),
// so a dragged slider never builds a queue.
function pushScene(preview) {
  state.wantPreview = preview;
  if (state.pushing) {
    state.again = true;
    return state.pushing;
  }
  state.pushing = busy(async () => {
    do {
      state.again = false;
      await sendScene(state.wantPreview);
    } while (state.again);
    state.pushing = null;
  });
  return state.pushing;
}

async function sendScene(preview) {
  try {
    const kept = await (await api("PUT", "/api/scene", state.scene)).json();
    // Image paths new to the scene come back relative to its folder.
    const relinked = JSON.stringify(kept.layers) !== JSON.stringify(state.scene.layers);
    if (!state.again && relinked) {
      state.scene.layers = kept.layers;
      buildLayers();
    }
    showError(null);
    busy(() => refreshVisibility().catch(showError));
    busy(() => render(preview));
  } catch (error) {
    showError(error);
  }
}

async function render(preview) {
  const downsample = preview ? PREVIEW_DOWNSAMPLE : 1;
  const ticket = ++state.renders;
  try {
    const response = await api("GET", `/api/render?frame=${state.frame}&downsample=${downsample}`);
    // Answers come in the order the renders ran; one overtaken on its
    // way is not shown over a newer one.
    if (!response || ticket < state.shownRender) return;
    state.shownRender = ticket;
    const milliseconds = Number(response.headers.get("X-Render-Milliseconds"));
    const blob = await response.blob();
    const url = URL.createObjectURL(blob);
    await new Promise((resolve) => { $("render").onload = resolve; $("render").src = url; });
    if (state.renderUrl) URL.revokeObjectURL(state.renderUrl);
    state.renderUrl = url;
    state.downsample = downsample;
    if (!preview) {
      state.fullWidth = $("render").naturalWidth;
      state.fullHeight = $("render").naturalHeight;
    }
    const display = (state.scene.controls || {}).display;
    $("status").textContent = `Display: ${display || defaultOf("display")} · frame ${state.frame}` +
        ` · ${preview ? "preview 1/" + downsample : "full size"} · ${milliseconds.toFixed(0)} ms`;
    $("render").dataset.full = preview ? "" : "yes";
    showError(null);
    placeHandles();
  } catch (error) {
    showError(error);
  }
}

function defaultOf(key) {
  const control = state.controls.find((c) => c.key === key);
  return control ? control.default : "";
}

function valueOf(control) {
  const controls = state.scene.controls || {};
  return control.key in controls ? controls[control.key] : control.default;
}

function setControl(key, value, preview) {
  state.scene.controls = state.scene.controls || {};
  state.scene.controls[key] = value;
  pushScene(preview);
}

function hex(rgb) {
  return "#" + rgb.map((v) => Math.round(v).toString(16).padStart(2, "0")).join("");
}

function number(value, onChange, step) {
  const input = document.createElement("input");
  input.type = "number";
  input.step = step || "any";
  input.value = value;
  input.addEventListener("change", () => onChange(Number(input.value)));
  return input;
}

// A value the scene keys ({"keys": [...]}). The page edits values, not
// keys: it shows that there are keys and leaves them as the file has them
// (the scene file is where keys are edited).
function isKeyed(value) {
  return value !== null && typeof value === "object" && !Array.isArray(value) && "keys" in value;
}

function keyedNote(value) {
  const note = document.createElement("span");
  note.className = "keyed";
  note.textContent = `keyed (${value.keys.length})`;
  note.title = "Keyed in the scene file; the page leaves the keys as they are";
  return note;
}

// One control's editor, by its type.
function editor(control) {
  const value = valueOf(control);
  const key = control.key;
  if (isKeyed(value)) return keyedNote(value);
  if (control.type === "slider" || control.type === "fixed_slider") {
    const pair = document.createElement("div");
    pair.className = "pair";
    const range = document.createElement("input");
    range.type = "range";
    range.min = control.slider_min;
    range.max = control.slider_max;
    range.step = control.type === "fixed_slider" ? Math.pow(10, -control.precision) : 1;
    range.value = value;
    const field = number(value, (v) => { range.value = v; setControl(key, v, false); });
    range.addEventListener("input", () => { field.value = range.value; setControl(key, Number(range.value), true); });
    range.addEventListener("change", () => setControl(key, Number(range.value), false));
    pair.append(range, field);
    return pair;
  }
  if (control.type === "checkbox") {
    const box = document.createElement("input");
    box.type = "checkbox";
    box.checked = Boolean(value);
    box.addEventListener("change", () => setControl(key, box.checked, false));
    return box;
  }
  if (control.type === "popup") {
    const select = document.createElement("select");
    control.choices.forEach((choice) => {
      const option = new Option(choice, choice);
      option.disabled = choice === "-";
      select.add(option);
    });
    select.value = value;
    select.addEventListener("change", () => setControl(key, select.value, false));
    return select;
  }
  if (control.type === "color") {
    const input = document.createElement("input");
    input.type = "color";
    input.value = typeof value === "string" ? value : hex(value);
    input.addEventListener("input", () => setControl(key, input.value, true));
    input.addEventListener("change", () => setControl(key, input.value, false));
    return input;
  }
  if (control.type === "point") {
    const pair = document.createElement("div");
    pair.className = "pair";
    const point = [...value];
    [0, 1].forEach((i) => pair.append(number(point[i], (v) => { point[i] = v; setControl(key, [...point], false); })));
    return pair;
  }
  if (control.type === "layer") {
    // A scene layer, or an image file of the page's folders, which becomes
    // a layer of the scene named after it.
    const select = document.createElement("select");
    select.add(new Option("None", ""));
    Object.keys(state.scene.layers || {}).forEach((name) => select.add(new Option(name, name)));
    const files = document.createElement("optgroup");
    files.label = "Image files";
    state.files.forEach((file) => files.append(new Option(file, "file:" + file)));
    select.append(files);
    select.value = value || "";
    select.addEventListener("change", () => {
      let layer = select.value;
      if (layer.startsWith("file:")) {
        const file = layer.slice(5);
        layer = file.replace(/^.*\//, "").replace(/\.[^.]*$/, "");
        while (layer in state.scene.layers && state.scene.layers[layer] !== file) layer += "_";
        state.scene.layers[layer] = file;
        select.add(new Option(layer, layer), 1);
        select.value = layer;
        buildLayers();
      }
      setControl(key, layer || null, false);
    });
    return select;
  }
  return number(value, (v) => setControl(key, v, false));  // angle
}

function buildControls() {
  const panel = $("controls");
  panel.replaceChildren();
  let parent = panel;
  for (const control of state.controls) {
    if (control.type === "group_start") {
      const group = document.createElement("fieldset");
      group.id = "group-" + control.key;
      const legend = document.createElement("legend");
      legend.textContent = control.name;
      legend.addEventListener("click", () => group.classList.toggle("collapsed"));
      group.append(legend);
      if (control.flags & 32) group.classList.add("collapsed");
      panel.append(group);
      parent = group;
      continue;
    }
    if (control.type === "group_end") { parent = panel; continue; }
    const row = document.createElement("div");
    row.className = "control";
    row.id = "control-" + control.key;
    row.dataset.key = control.key;
    row.hidden = !control.visible;
    const label = document.createElement("label");
    label.textContent = control.name;
    label.title = state.help[control.key] || "";
    row.append(label, editor(control));
    parent.append(row);
  }
}

async function refreshVisibility() {
  const ticket = ++state.listings;
  const controls = await (await api("GET", `/api/controls?frame=${state.frame}`)).json();
  if (ticket < state.shownListing) return;
  state.shownListing = ticket;
  state.controls = controls;
  for (const control of controls) {
    const row = $("control-" + control.key);
    if (row) row.hidden = !control.visible;
  }
}

// Lights: a row of fields each, and a handle on the image for x and y.
function buildLights() {
  const list = $("lights");
  list.replaceChildren();
  (state.scene.lights || []).forEach((light, index) => {
    const row = document.createElement("div");
    row.className = "light";
    const type = document.createElement("select");
    ["point", "spot", "parallel", "ambient"].forEach((t) => type.add(new Option(t, t)));
    type.value = light.type || "point";
    type.addEventListener("change", () => { light.type = type.value; pushScene(false); });
    let color = document.createElement("input");
    color.type = "color";
    color.value = hex((Array.isArray(light.color) ? light.color : [1, 1, 1]).map((c) => c * 255));
    color.addEventListener("change", () => {
      light.color = [1, 3, 5].map((i) => parseInt(color.value.substr(i, 2), 16) / 255);
      pushScene(false);
    });
    if (isKeyed(light.color)) color = keyedNote(light.color);
    const intensity = isKeyed(light.intensity) ? keyedNote(light.intensity)
      : number(typeof light.intensity === "number" ? light.intensity : 100,
               (v) => { light.intensity = v; pushScene(false); });
    const z = isKeyed(light.position) ? keyedNote(light.position)
      : number(Array.isArray(light.position) ? light.position[2] : -state.fullWidth / 2,
               (v) => { ensurePosition(light)[2] = v; pushScene(false); });
    const remove = document.createElement("button");
    remove.textContent = "Remove";
    remove.addEventListener("click", () => { state.scene.lights.splice(index, 1); buildLights(); pushScene(false); });
    row.append(light.name || `Light ${index + 1}`, type, "colour", color, "intensity %", intensity, "z", z, remove);
    list.append(row);
  });
  placeHandles();
}

function ensurePosition(light) {
  if (!Array.isArray(light.position)) {
    light.position = [state.fullWidth / 2, state.fullHeight / 2, -state.fullWidth / 2];
  }
  return light.position;
}

function placeHandles() {
  if (state.dragging) return;  // the handle being dragged keeps the pointer
  const handles = $("handles");
  handles.replaceChildren();
  const image = $("render");
  if (!state.fullWidth || !image.clientWidth) return;
  const scale = image.clientWidth / state.fullWidth;
  (state.scene.lights || []).forEach((light, index) => {
    if (light.type === "ambient" || (light.position && !Array.isArray(light.position))) return;
    const [x, y] = Array.isArray(light.position) ? light.position : [state.fullWidth / 2, state.fullHeight / 2];
    const handle = document.createElement("div");
    handle.className = "handle";
    handle.id = "light-handle-" + index;
    handle.title = light.name || `Light ${index + 1}`;
    handle.style.left = x * scale + "px";
    handle.style.top = y * scale + "px";
    handle.style.background = hex((Array.isArray(light.color) ? light.color : [1, 1, 1]).map((c) => c * 255));
    handle.addEventListener("pointerdown", (down) => dragLight(down, handle, light));
    handles.append(handle);
  });
}

function dragLight(down, handle, light) {
  down.preventDefault();
  state.dragging = true;
  handle.setPointerCapture(down.pointerId);
  const box = $("render").getBoundingClientRect();
  const scale = state.fullWidth / box.width;
  const move = (event, preview) => {
    const position = ensurePosition(light);
    position[0] = Math.round((event.clientX - box.left) * scale);
    position[1] = Math.round((event.clientY - box.top) * scale);
    handle.style.left = position[0] / scale + "px";
    handle.style.top = position[1] / scale + "px";
    pushScene(preview);
  };
  const moving = (event) => move(event, true);
  handle.addEventListener("pointermove", moving);
  handle.addEventListener("pointerup", (up) => {
    handle.removeEventListener("pointermove", moving);
    state.dragging = false;
    move(up, false);
  }, { once: true });
}

// Layers: each image layer's file, chosen from the page's folders.
function buildLayers() {
  const files = state.files;
  const list = $("layers");
  list.replaceChildren();
  for (const [name, layer] of Object.entries(state.scene.layers || {})) {
    const row = document.createElement("div");
    row.className = "layer";
    const path = typeof layer === "string" ? layer : layer.path;
    if (path === undefined) {
      row.append(`${name}: generated ${layer.generate}`);
    } else {
      const select = document.createElement("select");
      select.add(new Option(path, path));
      files.filter((f) => f !== path).forEach((f) => select.add(new Option(f, f)));
      select.addEventListener("change", () => {
        if (typeof layer === "string") state.scene.layers[name] = select.value;
        else layer.path = select.value;
        pushScene(false);
      });
      row.append(name + ": ", select);
    }
    list.append(row);
  }
}

async function probe(event) {
  const box = $("render").getBoundingClientRect();
  const image = $("render");
  const x = Math.floor((event.clientX - box.left) * image.naturalWidth / box.width);
  const y = Math.floor((event.clientY - box.top) * image.naturalHeight / box.height);
  try {
    const values = await (await api("GET",
        `/api/probe?frame=${state.frame}&downsample=${state.downsample}&x=${x}&y=${y}`)).json();
    $("probe").textContent = JSON.stringify(values);
  } catch (error) {
    showError(error);
  }
}

async function save() {
  try {
    await api("POST", "/api/save", { path: $("save-path").value });
    $("action-result").textContent = "Saved " + $("save-path").value;
  } catch (error) {
    showError(error);
  }
}

async function renderToFile() {
  try {
    await api("POST", "/api/render-file", { path: $("render-path").value });
    $("render-progress").hidden = false;
    $("cancel-render-file").hidden = false;
    for (;;) {
      const progress = await (await api("GET", "/api/render-file")).json();
      $("render-progress").max = Math.max(progress.total, 1);
      $("render-progress").value = progress.done;
      if (!progress.running) {
        if (progress.error) throw new Error(progress.error);
        $("action-result").textContent = progress.cancelled
          ? `Cancelled after ${progress.done} of ${progress.total} frame(s) to ${progress.path}`
          : `Rendered ${progress.done} frame(s) to ${progress.path}`;
        return;
      }
      await new Promise((resolve) => setTimeout(resolve, 250));
    }
  } catch (error) {
    showError(error);
  } finally {
    $("cancel-render-file").hidden = true;
  }
}

// The frames written so far stay; the one being written is finished first.
async function cancelRenderToFile() {
  try {
    await api("DELETE", "/api/render-file");
  } catch (error) {
    showError(error);
  }
}

function start() {
  return busy(load);
}

async function load() {
  try {
    state.scene = await (await api("GET", "/api/scene")).json();
    state.frame = (state.scene.frames || {}).start || 0;
    $("frame").value = state.frame;
    state.controls = await (await api("GET", `/api/controls?frame=${state.frame}`)).json();
    state.help = await (await api("GET", "/api/help")).json();
    const folders = await (await api("GET", "/api/files")).json();
    state.files = folders.flatMap((f) => f.files);
    buildControls();
    await render(false);
    buildLights();
    buildLayers();
  } catch (error) {
    showError(error);
  }
  $("render").addEventListener("click", probe);
  $("save").addEventListener("click", save);
  $("render-file").addEventListener("click", renderToFile);
  $("cancel-render-file").addEventListener("click", cancelRenderToFile);
  $("add-light").addEventListener("click", () => {
    state.scene.lights = state.scene.lights || [];
    state.scene.lights.push({ name: `Light ${state.scene.lights.length + 1}`, type: "point",
                              position: [state.fullWidth / 2, state.fullHeight / 2, -state.fullWidth / 2] });
    buildLights();
    pushScene(false);
  });
  $("frame").addEventListener("change", () => { state.frame = Number($("frame").value); pushScene(false); });
  window.addEventListener("resize", placeHandles);
}

start();
