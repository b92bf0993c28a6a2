#!/usr/bin/env python3
"""The demo tracking endpoint answers in the layout the batch query cuts its two fields from."""

import importlib.machinery
import importlib.util
import sys
import unittest

LOGISTICS_LEFT = b' "data": {\n        "'
COMPANY_LEFT = b' "Name of company": "'


def load_endpoint(path):
    loader = importlib.machinery.SourceFileLoader("demo_tracking_endpoint", path)
    module_spec = importlib.util.spec_from_loader(loader.name, loader)
    module = importlib.util.module_from_spec(module_spec)
    loader.exec_module(module)
    return module


def between(text, left, right):
    start = text.find(left)
    if start < 0:
        return None
    start += len(left)
    end = text.find(right, start)
    return None if end < 0 else text[start:end]


class DemoEndpointTest(unittest.TestCase):
    def test_numbers_of_every_shape_get_a_trace_and_a_company(self):
        for number, company in [("SF1234567890123", "青鸟速运"), ("YT1234567890123", "云帆速递"),
                                ("JT0001234567891", "星河速递"), ("755012345678901", "远山快递"),
                                ("4312345678901", "海燕快递")]:
            reply = endpoint.reply_for(number)
            self.assertEqual(between(reply, COMPANY_LEFT, b'",').decode("utf-8"), company, number)
            trace = between(reply, LOGISTICS_LEFT, b"}").decode("utf-8")
            self.assertIn(company + " 已揽收", trace)
            self.assertEqual(reply, endpoint.reply_for(number), "the same number, the same trace")

    def test_a_number_ending_in_zero_has_a_company_but_no_trace(self):
        reply = endpoint.reply_for("SF1234567890120")
        self.assertEqual(between(reply, COMPANY_LEFT, b'",').decode("utf-8"), "青鸟速运")
        self.assertIsNone(between(reply, LOGISTICS_LEFT, b"}"))

    def test_an_unknown_number_has_neither(self):
        for number in ["", "abc", "SF123"]:
            reply = endpoint.reply_for(number)
            self.assertIsNone(between(reply, COMPANY_LEFT, b'",'), number)
            self.assertIsNone(between(reply, LOGISTICS_LEFT, b"}"), number)


if __name__ == "__main__":
    endpoint = load_endpoint(sys.argv.pop(1))
    unittest.main()
