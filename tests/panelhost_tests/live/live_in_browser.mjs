// panelhost live as a person uses it, in headless Chromium driven through the
// DevTools protocol (puppeteer-core with the system's chromium):
//  - requests without the token, with a foreign Host or a foreign Origin get 403
//    and play nothing; a second session on the same port is refused (exit 2);
//  - Quillon after an opening world: a click on myDest plays "press 1 myDest"
//    and its event selected=12 arrives; a parent command sent from the page
//    changes the panel; the session saved as a scenario replays with exit 0
//    and the same traffic; Quit ends panelhost with exit 0;
//  - a component that crashes on a press: the page shows the crash as a
//    breach, the server stays up, a restart gives a component that plays
//    again, and Ctrl-C (SIGINT) ends panelhost with exit 1;
//  - an opening that names instances: a typed step that names none is refused
//    as in a file, and a click on one instance's panel presses it there;
//  - event streams past the few served are refused with 503, and the page's
//    requests are still answered;
//  - --record with no step played: not recorded, exit 2.
// It prints the times from a click to what it caused being drawn, and makes
// OUT/live-page.png, a screenshot 1280 pixels wide.
//   node live_in_browser.mjs PANELHOST QUILLON CRASHING UI OPENING OUT
import { spawn, spawnSync } from "node:child_process";
import http from "node:http";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

const [panelhost, quillon, crashing, ui, opening, out] = process.argv.slice(2);
const chromium = process.env.CHROMIUM || "/usr/bin/chromium";
fs.mkdirSync(out, { recursive: true });

function fail(message) {
  console.error("FAIL: " + message);
  process.exit(1);
}
function check(condition, message) {
  if (!condition) fail(message);
}

// Every panelhost started is ended with the test, however it ends.
const started = [];
process.on("exit", () => started.forEach((child) => child.exitCode === null && child.kill("SIGKILL")));

// panelhost live, started; resolves once it printed its address.
function startLive(args) {
  const child = spawn(panelhost, ["live", ...args, "--ui", ui], { stdio: ["ignore", "pipe", "pipe"] });
  started.push(child);
  let transcript = "";
  const ended = new Promise((resolve) => child.on("exit", (code) => resolve(code)));
  const address = new Promise((resolve, reject) => {
    child.stdout.on("data", (chunk) => {
      transcript += chunk;
      const found = /http:\/\/127\.0\.0\.1:(\d+)\/\?token=([0-9a-f]+)/.exec(transcript);
      if (found) resolve({ url: found[0], port: Number(found[1]), token: found[2] });
    });
    child.stderr.on("data", (chunk) => { transcript += chunk; });
    ended.then((code) => reject(new Error(`panelhost live ended (${code}) before serving: ${transcript}`)));
  });
  return { child, ended, address, transcript: () => transcript };
}

// One request with the headers given as they are (Host included).
function request(port, method, target, headers, body) {
  return new Promise((resolve, reject) => {
    const sent = http.request({ host: "127.0.0.1", port, method, path: target, headers, setHost: false },
      (response) => {
        let text = "";
        response.on("data", (chunk) => { text += chunk; });
        response.on("end", () => resolve({ status: response.statusCode, text }));
      });
    sent.on("error", reject);
    sent.end(body || "");
  });
}

// Every record the session published so far, read from its event stream.
function records(port, token) {
  return new Promise((resolve, reject) => {
    const found = [];
    const sent = http.get({ host: "127.0.0.1", port, path: "/events?token=" + token }, (response) => {
      let text = "";
      response.on("data", (chunk) => { text += chunk; });
      setTimeout(() => {
        sent.destroy();
        for (const block of text.split("\n\n")) {
          const name = /^event: (.*)$/m.exec(block);
          const data = /^data: (.*)$/m.exec(block);
          if (name && data && name[1] === "record") found.push(JSON.parse(data[1]));
        }
        resolve(found);
      }, 400);
    });
    sent.on("error", (error) => (error.code === "ECONNRESET" ? null : reject(error)));
  });
}

async function guardRefuses({ port, token }) {
  const host = `127.0.0.1:${port}`;
  const cases = [
    ["no token", "GET", "/", { Host: host }],
    ["a wrong token", "GET", `/?token=${token[0] === "0" ? "1" : "0"}${token.slice(1)}`, { Host: host }],
    ["a foreign Host", "GET", "/?token=" + token, { Host: `rebound.example:${port}` }],
    ["the right host on another port", "GET", "/?token=" + token, { Host: `127.0.0.1:${port + 1}` }],
    ["a foreign Origin", "POST", "/line?token=" + token, { Host: host, Origin: "http://elsewhere.example" },
     "press 1 myDest"],
    ["a cookie of another session", "GET", "/events", { Host: host, Cookie: `panelhost_live_${port}=${"f".repeat(32)}` }],
  ];
  for (const [what, method, target, headers, body] of cases) {
    const answer = await request(port, method, target, headers, body);
    check(answer.status === 403, `a request with ${what} got ${answer.status}, not 403`);
  }
  const page = await request(port, "GET", "/?token=" + token, { Host: `localhost:${port}` });
  check(page.status === 200 && page.text.includes("PanelReport"), "the page itself is not served");
  const played = await request(port, "POST", "/line?token=" + token,
                               { Host: host, Origin: `http://${host}` }, "# a comment from the page's own origin");
  check(played.status === 200, `a line from the page's own origin got ${played.status}`);
  console.log(`refused with 403: ${cases.map((c) => c[0]).join(", ")}`);
}

async function waitFor(page, what, condition, ...args) {
  try {
    return await page.waitForFunction(condition, { timeout: 10000, polling: "mutation" }, ...args);
  } catch (error) {
    await page.screenshot({ path: path.join(out, "live-failure.png") });
    fail(`${what} did not happen: ${error.message}`);
  }
}

// The last step drawn holds a traffic line with `text`.
const lastStepShows = (text) => {
  const steps = document.querySelectorAll("article.step");
  const last = steps[steps.length - 1];
  return !!last && [...last.querySelectorAll(".traffic li")].some((li) => li.textContent.includes(text));
};
const property = (control, name) =>
  `.final [data-control='${control}'] [data-property='${name}']`;

async function quillonSession(browser) {
  const live = startLive([quillon, opening]);
  const address = await live.address;
  await guardRefuses(address);
  const second = spawnSync(panelhost, ["live", quillon, "--port", String(address.port), "--ui", ui],
                           { encoding: "utf8", timeout: 20000 });
  check(second.status === 2 && /port \d+ of 127\.0\.0\.1 is in use/.test(second.stderr),
        `a second session on the same port: exit ${second.status}, ${second.stderr}`);
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 1000 });
  await page.goto(address.url);
  // The opening scenario names the destination.
  await waitFor(page, "the panel drawn, myDest named",
                (selector) => document.querySelector(selector)?.textContent === "Studio A",
                property("myDest", "text"));

  // Times on the page's own clock: from the click's event to the mutation
  // that draws what it caused.
  await page.evaluate(`
    document.addEventListener("click", () => { window.clickedAt = performance.now(); }, true);
    window.sinceClick = (shown) => (shown ? performance.now() - window.clickedAt : 0);
    window.lastStepShows = ${lastStepShows};`);
  await page.click(".final [data-control='myDest']");
  const clickToEvent = await (await waitFor(page, "selected=12 after the click",
    (text) => window.sinceClick(window.lastStepShows(text)), "^ event to the parent: selected=12")).jsonValue();

  await page.type("#live-command input", "selected=12");
  await page.click("#live-command button");
  const commandToPanel = await (await waitFor(page, "the panel's change after the parent command",
    (selector) => window.sinceClick(document.querySelector(selector)?.textContent === "dest_high"),
    property("myDest", "statesheet"))).jsonValue();
  check(await page.$eval(property("myDest", "statesheet"), (node) => node.classList.contains("changed")),
        "the changed statesheet is not marked");
  await page.screenshot({ path: path.join(out, "live-page.png") });

  const saved = path.join(out, "live-session.scenario");
  fs.rmSync(saved, { force: true });
  await page.$eval("#live-save input", (node) => { node.value = ""; });
  await page.type("#live-save input", saved);
  await page.click("#live-save button");
  await waitFor(page, "the save", () => document.getElementById("live-note").textContent.startsWith("saved to"));
  const played = (await records(address.port, address.token)).filter((r) => r.type === "sent").map((r) => r.command);

  const replay = spawnSync(panelhost, [quillon, saved, "--ui", ui, "--json"], { encoding: "latin1" });
  check(replay.status === 0, `the saved scenario replays with exit ${replay.status}:\n${replay.stdout}`);
  const replayed = [];
  for (const line of replay.stdout.split("\n").filter(Boolean)) {
    const r = JSON.parse(line);
    if (r.type === "step" && r.implicit && r.step === "destroy") break;
    if (r.type === "sent") replayed.push(r.command);
  }
  check(JSON.stringify(played) === JSON.stringify(replayed),
        `the replay sent\n  ${replayed.join("\n  ")}\nnot what the session sent\n  ${played.join("\n  ")}`);

  await page.click("#live-quit");
  const code = await live.ended;
  check(code === 0, `Quit ended panelhost with exit ${code}, not 0:\n${live.transcript()}`);
  await page.close();
  console.log(`quillon: ${played.length} commands sent, the same in the replay; quit, exit 0`);
  return { clickToEvent, commandToPanel };
}

async function crashingSession(browser) {
  const live = startLive([crashing]);
  const address = await live.address;
  const page = await browser.newPage();
  await page.goto(address.url);
  await page.click("#live-load");
  await waitFor(page, "the panel loaded", () => !!document.querySelector(".final [data-control='go']"));
  await page.click(".final [data-control='go']");
  await waitFor(page, "the crash shown as a breach",
                () => [...document.querySelectorAll(".traffic li.error")].some((li) => li.textContent.includes("CR1")));
  await waitFor(page, "the restart offered", () => !document.getElementById("live-restart").hidden);
  const up = await request(address.port, "GET", "/?token=" + address.token, { Host: `127.0.0.1:${address.port}` });
  check(up.status === 200, `after the crash the server answers ${up.status}`);
  await page.click("#live-restart");
  await waitFor(page, "the second life", () => /life 2/.test(document.getElementById("live-state").textContent));
  const steps = await page.$$eval("article.step", (nodes) => nodes.length);
  await page.click("#live-load");
  await waitFor(page, "a step of the restarted component",
                (before) => document.querySelectorAll("article.step").length > before, steps);
  live.child.kill("SIGINT"); // as Ctrl-C at the terminal
  const code = await live.ended;
  check(code === 1, `Ctrl-C after a crash ended panelhost with exit ${code}, not 1`);
  await waitFor(page, "the end shown", () => /has ended/.test(document.getElementById("live-state").textContent));
  console.log("crashing component: CR1 shown, server up, restarted and played again; Ctrl-C, exit 1");
}

async function instancesSession(browser) {
  const opening = path.join(out, "instances.scenario");
  fs.writeFileSync(opening, "child A\nchild B\n");
  const live = startLive([quillon, opening]);
  const { port, token, url } = await live.address;
  const line = (text) => request(port, "POST", "/line?token=" + token, { Host: `127.0.0.1:${port}` }, text);
  const unaddressed = await line("load");
  check(unaddressed.status === 400 && /say which one this step is for/.test(unaddressed.text),
        `a step naming no instance got ${unaddressed.status} ${unaddressed.text}`);
  check((await line("every: load")).status === 200, "every: load was refused");
  const page = await browser.newPage();
  await page.goto(url);
  const control = ".final [data-instance='B'] [data-control='myDest']";
  await waitFor(page, "B's panel drawn", (selector) => !!document.querySelector(selector), control);
  await page.click(control);
  await waitFor(page, "B's press played",
                () => /^line \d+: B: press 1 myDest$/.test(document.getElementById("live-note").textContent));
  // The page holds one stream; of eight more, those past the few served get 503.
  const streams = [];
  const statuses = await Promise.all(Array.from({ length: 8 }, () => new Promise((resolve, reject) => {
    const sent = http.get({ host: "127.0.0.1", port, path: "/events?token=" + token }, (response) => {
      streams.push(sent);
      resolve(response.statusCode);
    });
    sent.on("error", (error) => (error.code === "ECONNRESET" ? null : reject(error)));
  })));
  const refused = statuses.filter((status) => status === 503).length;
  check(refused > 0 && refused < 8 && statuses.every((status) => status === 200 || status === 503),
        `eight more event streams got ${statuses.join(" ")}`);
  check((await line("# asked while the streams are open")).status === 200, "a line was not answered");
  await page.click("#live-quit");
  streams.forEach((stream) => stream.destroy());
  check(await live.ended === 0, `Quit after instances ended panelhost otherwise:\n${live.transcript()}`);
  await page.close();

  const nothing = path.join(out, "nothing.scenario");
  fs.rmSync(nothing, { force: true });
  const empty = startLive([quillon, "--record", nothing]);
  const at = await empty.address;
  await request(at.port, "POST", "/quit?token=" + at.token, { Host: `127.0.0.1:${at.port}` });
  const code = await empty.ended;
  check(code === 2 && /not recorded to .*nothing to record/.test(empty.transcript()) && !fs.existsSync(nothing),
        `--record with no step: exit ${code}\n${empty.transcript()}`);
  console.log(`instances: an unaddressed step refused, B's panel pressed as B; ${refused} of 8 more ` +
              "event streams refused, a line answered; --record with no step, exit 2");
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), "panelhost-live-"));
const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: true,
  userDataDir: profile,
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});
try {
  const times = await quillonSession(browser);
  await crashingSession(browser);
  await instancesSession(browser);
  const ms = (time) => time.toFixed(1) + " ms";
  console.log(`times: a click on myDest to its event drawn ${ms(times.clickToEvent)}; ` +
              `a click on Send (a parent command) to the panel's change drawn ${ms(times.commandToPanel)}`);
} finally {
  await browser.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
