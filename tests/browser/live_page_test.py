#!/usr/bin/python3
"""The live page in a real browser (Debian's chromium, headless, driven
through chromedriver): the page loads and renders, a control's name shows
its help from the control guide, a slider changes the image, a light is
dragged, a group switched off hides its controls, and the saved scene
renders on the command line to the page's image, byte for byte; on a scene
with keys, keyed values show as keyed and outlive an edit.
Takes a screenshot of the page on the way.

    live_page_test.py PROGRAM [SCREENSHOT.png]

Fails (exit status 1) when the browser or its driver is missing."""

import base64
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

# The built-in demo's scene: what the README's picture shows.
EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
DEMO = os.path.join(EXAMPLES, "demo.json")
ANIMATED = os.path.join(EXAMPLES, "light_animation.json")
TIMEOUT = 20


def wait(what, condition):
    end = time.monotonic() + TIMEOUT
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting: " + what)


def settled(driver):
    """Waits until the page has no request outstanding and shows a full-size
    render; returns that image's bytes."""
    wait("the page to settle", lambda: driver.execute_script(
        "return document.body.dataset.busy === '' && "
        "document.getElementById('render').dataset.full === 'yes'"))
    data = driver.execute_async_script(
        "const done = arguments[0];"
        "fetch(document.getElementById('render').src).then(r => r.arrayBuffer())"
        ".then(b => { let s = ''; new Uint8Array(b).forEach(c => s += String.fromCharCode(c));"
        " done(btoa(s)); });")
    return base64.b64decode(data)


def start_browser():
    for program in ("/usr/bin/chromium", "/usr/bin/chromedriver"):
        if not os.access(program, os.X_OK):
            raise AssertionError(program + " is missing: scripts/setup browser installs it")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                     "--disable-gpu", "--window-size=1400,900"):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def serve(program, scene, folder):
    """Starts the live page for `scene`; returns the server and its address."""
    server = subprocess.Popen([program, "--serve", scene, "--port", "0", "--output-folder", "out"],
                              cwd=folder, stdout=subprocess.PIPE, text=True)
    line = server.stdout.readline()
    return server, line[line.index("http://"):].split()[0]


def keyed_values_outlive_edits(program, driver, folder):
    """The page edits values, not keys: a keyed control and keyed light
    values show as keyed, and an edit of something else leaves their keys."""
    server, address = serve(program, ANIMATED, folder)
    try:
        driver.get(address)
        settled(driver)
        note = driver.find_element(By.CSS_SELECTOR, "#control-specular_spread .keyed")
        assert note.get_attribute("textContent") == "keyed (2)", note.get_attribute("textContent")
        assert not driver.find_elements(By.CSS_SELECTOR, "#control-specular_spread input"), \
            "a keyed control has an editor that would replace its keys"
        assert len(driver.find_elements(By.CSS_SELECTOR, "#lights .keyed")) == 2
        switch = driver.find_element(By.CSS_SELECTOR, "#control-rim_light_enable input")
        if not switch.is_displayed():
            driver.find_element(By.XPATH, "//*[@id='control-rim_light_enable']/../legend").click()
        switch.click()
        wait("the edit to reach the scene", lambda: json.load(
            urllib.request.urlopen(address + "api/scene"))["controls"]["rim_light_enable"] is False)
        scene = json.load(urllib.request.urlopen(address + "api/scene"))
        assert scene["controls"]["specular_spread"] == {"keys": [[1, 0.4], [10, 0.1]]}, scene
        assert scene["lights"][1]["intensity"] == {"keys": [[1, 20], [10, 90]]}, scene
        assert len(scene["lights"][0]["position"]["keys"]) == 3, scene
    finally:
        server.terminate()
        server.wait(10)


def main(program, screenshot):
    folder = tempfile.mkdtemp(prefix="lumeshade-browser-")
    server = None
    driver = None
    try:
        os.mkdir(os.path.join(folder, "out"))
        server, address = serve(program, DEMO, folder)
        driver = start_browser()
        driver.get(address)
        first = settled(driver)

        # A control's name carries its help from the control guide.
        label = driver.find_element(By.CSS_SELECTOR, "#control-specular_spread label")
        assert label.get_attribute("title").startswith("the highlight's size"), \
            label.get_attribute("title")

        # A slider moved by the pointer changes the image (its group opened
        # first: it may start collapsed).
        slider = driver.find_element(By.CSS_SELECTOR, "#control-specular_spread input[type=range]")
        if not slider.is_displayed():
            driver.find_element(By.XPATH, "//*[@id='control-specular_spread']/../legend").click()
        ActionChains(driver).click_and_hold(slider).move_by_offset(-60, 0).release().perform()
        moved = settled(driver)
        assert moved != first, "the image did not change with the slider"

        # A light dragged on the image moves in the scene.
        def key_light():
            return json.load(urllib.request.urlopen(address + "api/scene"))["lights"][0]
        before = key_light()["position"]
        handle = driver.find_element(By.ID, "light-handle-0")
        ActionChains(driver).drag_and_drop_by_offset(handle, 60, 40).perform()
        dragged = settled(driver)
        after = key_light()["position"]
        assert after[0] > before[0] + 20 and after[1] > before[1] + 10 and after[2] == before[2], \
            "the light did not move as dragged: %r to %r" % (before, after)
        assert dragged != moved, "the image did not change with the light"
        if screenshot:
            driver.save_screenshot(screenshot)

        # The group switched off: its controls hide.
        spread = driver.find_element(By.ID, "control-specular_spread")
        assert spread.is_displayed()
        driver.find_element(By.CSS_SELECTOR, "#control-specular_enable input").click()
        settled(driver)
        wait("the group's controls to hide", lambda: not spread.is_displayed())

        # Saved, the scene renders on the command line to the page's image.
        page_image = settled(driver)
        field = driver.find_element(By.ID, "save-path")
        field.clear()
        field.send_keys("saved.json")
        driver.find_element(By.ID, "save").click()
        wait("the scene to be saved", lambda: os.path.exists(os.path.join(folder, "out/saved.json")))
        subprocess.run([program, "out/saved.json", "-o", "out/check.png", "--quiet"], cwd=folder,
                       check=True)
        with open(os.path.join(folder, "out/check.png"), "rb") as f:
            assert f.read() == page_image, "the command line's render differs from the page's"
        errors = driver.find_element(By.ID, "error").text
        assert not errors, "the page shows an error: " + errors

        keyed_values_outlive_edits(program, driver, folder)
    finally:
        if driver:
            driver.quit()
        if server:
            server.terminate()
            server.wait(10)
        shutil.rmtree(folder, ignore_errors=True)
    print("live page: all checks passed")


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None)
